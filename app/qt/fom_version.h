#pragma once
// The version dialog "バージョン情報": the program's icon, product name, version, copyright
// notice and a link to the home page.

#include <QDialog>
#include <string>
#include <string_view>

class QColor;
class QLabel;

namespace folvane {

// The product name of this build; the Windows build names its platform as it always has.
#ifdef _WIN32
inline constexpr std::string_view kProductName = "Folvane for 32Bit-Windows";
#else
inline constexpr std::string_view kProductName = "Folvane for Linux";
#endif
inline constexpr std::string_view kCopyrightNotice = "Copyright (C) 2026 Folvane developers";
inline constexpr std::string_view kVersionDialogTitle = "バージョン情報";

inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 8;
inline constexpr int kVersionRevision = 0;

// " Version major.minor", with ".revision" appended only when revision is not 0.
std::string VersionText(int major, int minor, int revision);

class fomVersion : public QDialog {
    Q_OBJECT
  public:
    explicit fomVersion(QWidget* parent);
    ~fomVersion() override;

  protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FillTexts();
    void SetLinkColour(const QColor& colour);

    QLabel* lblText_[3] = {};
    QLabel* lblSuport_ = nullptr;
};

}  // namespace folvane
