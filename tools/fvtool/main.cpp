// fvtool: inspects and builds Frostvale's media files.

#include "tools/fvtool/subcommand.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

std::vector<const Subcommand*>& Table() {
    static std::vector<const Subcommand*> table;
    return table;
}

void PrintHelp(std::FILE* out) {
    std::fprintf(out, "usage: fvtool COMMAND [ARGS...]\n\nCommands:\n");
    std::vector<const Subcommand*> sorted = Table();
    std::sort(sorted.begin(), sorted.end(),
              [](const Subcommand* a, const Subcommand* b) { return std::strcmp(a->name, b->name) < 0; });
    for (const Subcommand* command : sorted) std::fprintf(out, "  %s %s\n", command->name, command->usage);
    if (sorted.empty()) std::fprintf(out, "  (none yet)\n");
    std::fprintf(out, "\nfvtool COMMAND --help shows one command's usage.\n");
}

}  // namespace

Subcommand::Subcommand(const char* name_, const char* usage_, SubcommandHandler handler_)
    : name(name_), usage(usage_), handler(handler_) {
    Table().push_back(this);
}

const std::vector<const Subcommand*>& Subcommands() { return Table(); }

int Fail(const std::string& message) {
    std::fprintf(stderr, "Error: %s\n", message.c_str());
    return 1;
}

bool WantsHelp(const std::vector<std::string>& args) {
    return std::any_of(args.begin(), args.end(), [](const std::string& a) { return a == "--help" || a == "-h"; });
}

int PrintUsage(const Subcommand& command) {
    std::printf("usage: fvtool %s %s\n", command.name, command.usage);
    return 0;
}

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        PrintHelp(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    for (const Subcommand* command : Table()) {
        if (std::strcmp(command->name, argv[1]) == 0) {
            std::vector<std::string> args(argv + 2, argv + argc);
            if (WantsHelp(args) && args.size() == 1) return PrintUsage(*command);
            return command->handler(args);
        }
    }
    std::fprintf(stderr, "Error: unknown command '%s' (fvtool --help lists them)\n", argv[1]);
    return 2;
}
