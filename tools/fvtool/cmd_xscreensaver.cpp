// fvtool xscreensaver-xml: the XScreenSaver hack description of frostvale's options.

#include "app/saver_options.h"
#include "tools/fvtool/subcommand.h"

#include <cstdio>

namespace {

int RunXScreenSaverXml(const std::vector<std::string>& args) {
    if (!args.empty()) return Fail("xscreensaver-xml takes no arguments");
    std::fputs(WriteXScreenSaverXml().c_str(), stdout);
    return 0;
}

const Subcommand kXScreenSaverXml{"xscreensaver-xml", "(prints share/xscreensaver/config/frostvale.xml)",
                                  RunXScreenSaverXml};

}  // namespace
