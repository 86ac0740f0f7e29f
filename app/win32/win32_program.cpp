#include "app/win32/win32_program.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "app/win32/fom_folvane.h"
#include "platform/process.h"
#include "render/html.h"
#include "settings/command_line.h"
#include "settings/path_utils.h"
#include "settings/settings_file.h"

namespace folvane {

namespace {

// The shell's folder browser needs a single-threaded COM apartment on the UI thread.
class ComApartment {
  public:
    ComApartment()
        : initialised_(
              SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComApartment() {
        if (initialised_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    bool initialised_;
};

int MessageLoop(const fomFolvane& window) {
    MSG message;
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        if (got == -1) return 1;
        DispatchWindowMessage(window.hwnd(), message);
    }
}

}  // namespace

int RunWin32Program(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const ComApartment com;
    const std::vector<std::string> arguments = ProgramArguments(argc, argv);
    fomFolvane window(SettingsFilePath(), HtmlTemplateFolder());
    if (!window.Load(CommandLineFromHostArguments(arguments), JoinArguments(arguments))) return 1;
    window.Show();
    return MessageLoop(window);
}

}  // namespace folvane
