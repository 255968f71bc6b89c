#include "platform/win/dialog_memory.h"

void MemoryDialogHost::Run(Dialog& dialog) {
    shown.push_back(dialog.templateNumber);
    DeliverPostedDialogMessages(dialog);
    const auto script = scripts_.find(dialog.templateNumber);
    if (script != scripts_.end() && !dialog.ended) script->second(dialog);
    if (!dialog.ended) EndDialog(dialog.handle, -1);
}
