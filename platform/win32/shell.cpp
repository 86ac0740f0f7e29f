#include "platform/shell.h"

#include <windows.h>
// after windows.h, which they need
#include <objbase.h>
#include <shellapi.h>

#include <string>

#include "platform/win32/wide.h"
#include "platform/win32/win_path.h"

namespace folvane {

namespace {

bool IsWebAddress(std::string_view text) {
    return text.find("://") != std::string_view::npos;
}

// ShellExecuteW may hand the request to a shell extension, which needs COM on the calling
// thread; a thread that has COM already keeps it as it is.
class ComForShell {
  public:
    ComForShell()
        : initialised_(
              SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComForShell() {
        if (initialised_) CoUninitialize();
    }
    ComForShell(const ComForShell&) = delete;
    ComForShell& operator=(const ComForShell&) = delete;

  private:
    bool initialised_;
};

}  // namespace

bool OpenWithDefaultHandler(std::string_view pathOrAddress) {
    std::wstring target;
    if (IsWebAddress(pathOrAddress)) {
        target = WideFromUtf8(pathOrAddress);
    } else {
        const auto path = ApiPathOf(pathOrAddress);
        if (!path) return false;
        target = *path;
    }
    const ComForShell com;
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    // Values above 32 mean success.
    return result > 32;
}

}  // namespace folvane
