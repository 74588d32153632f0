// Controls, positions and texts of the wizard pages.
#include "wizard/wizard_pages.h"

#include "l10n/localization.h"
#include "text/string_util.h"
#include "text/utf8.h"

namespace {

constexpr int kPictureX = 0;
constexpr int kPictureY = 0;
constexpr int kTextX = 170;
constexpr int kTextY = 10;
constexpr int kCheckY = 170;
constexpr int kCheckWidth = 318;
constexpr int kCaptionY = 255;
constexpr int kCaptionWidth = 320;
constexpr wizard::Rect kEntryRect = {170, 275, 280, 30};
constexpr wizard::Rect kBrowseRect = {460, 275, 30, 30};
constexpr int kStatusX = 10;
constexpr int kStatusY = 130;
constexpr int kBarY = 150;
constexpr int kBarHeight = 20;

}  // namespace

WizardDialogPage::WizardDialogPage(wizard::Toolkit& toolkit, wizard::Handle parent)
    : m_toolkit(toolkit), m_parent(parent) {}

wizard::Handle WizardDialogPage::Add(wizard::Handle control) {
    m_controls.push_back(control);
    return control;
}

MessagePage::MessagePage(wizard::Toolkit& toolkit, wizard::Handle parent, wizard::Handle picture,
                         const stdx::string16& text)
    : WizardDialogPage(toolkit, parent) {
    m_image = Add(m_toolkit.CreatePicture(m_parent, kPictureX, kPictureY, picture));
    m_text = Add(m_toolkit.CreateMultilineText(m_parent, kTextX, kTextY, ""));
    SetText(text);
}

void MessagePage::SetText(const stdx::string16& text) {
    m_toolkit.SetText(m_text, stdx::to_utf8(text).c_str());
}

SuccessFinalPage::SuccessFinalPage(wizard::Toolkit& toolkit, wizard::Handle parent,
                                   wizard::Handle picture, const stdx::string16& text)
    : MessagePage(toolkit, parent, picture, text) {
    m_openCheck =
        Add(m_toolkit.CreateCheckBox(m_parent, kTextX, kCheckY, kCheckWidth,
                                     GetLocalizedUtf8("IDS_SUCCESS_OPENDESCR").c_str(), true));
}

bool SuccessFinalPage::IsOpenChecked() const {
    return m_toolkit.IsChecked(m_openCheck);
}

DirSelectPage::DirSelectPage(wizard::Toolkit& toolkit, wizard::Handle parent,
                             wizard::Handle picture, wizard::Handle window)
    : WizardDialogPage(toolkit, parent), m_window(window) {
    m_image = Add(m_toolkit.CreatePicture(m_parent, kPictureX, kPictureY, picture));
    m_prompt = Add(m_toolkit.CreateMultilineText(
        m_parent, kTextX, kTextY, GetLocalizedUtf8("IDS_DESTINATION_PROMPT").c_str()));
    m_label = Add(m_toolkit.CreateLabel(m_parent, kTextX, kCaptionY, kCaptionWidth,
                                        GetLocalizedUtf8("IDS_TEMPLATE_CATALOG").c_str()));
    m_entry = Add(m_toolkit.CreateEntry(m_parent, kEntryRect));
    m_browseButton =
        Add(m_toolkit.CreateButton(m_parent, kBrowseRect, "...", wizard::Command::kBrowse));
    // Return in the entry goes on, as Next does; a screen reader hears the
    // entry by its caption and the "..." button by what it does.
    m_toolkit.SetEntryCommand(m_entry, wizard::Command::kNext);
    m_toolkit.SetLabelFor(m_label, m_entry);
    m_toolkit.SetAccessibleName(m_browseButton, GetLocalizedUtf8("IDS_BROWSE_BUTTON").c_str());
}

void DirSelectPage::SetPath(const stdx::string16& path) {
    m_toolkit.SetEntryText(m_entry, stdx::to_utf8(path).c_str());
}

stdx::string16 DirSelectPage::GetPath() const {
    // A typed text that is not valid UTF-8 keeps its valid prefix, as the
    // locale decoder did.
    stdx::string16 path;
    stdx::from_utf8(m_toolkit.GetEntryText(m_entry), path);
    return path;
}

void DirSelectPage::Browse() {
    m_toolkit.ChooseDirectory(m_window, m_entry);
}

ProgressPage::ProgressPage(wizard::Toolkit& toolkit, wizard::Handle parent, int barWidth)
    : WizardDialogPage(toolkit, parent) {
    m_statusLabel = Add(m_toolkit.CreateLabel(m_parent, kStatusX, kStatusY, barWidth, ""));
    m_progressBar =
        Add(m_toolkit.CreateProgressBar(m_parent, {kStatusX, kBarY, barWidth, kBarHeight}));
    // The bar is named by the line above it, which says what is going on.
    m_toolkit.SetLabelFor(m_statusLabel, m_progressBar);
    m_startText = GetLocalizedUtf8("IDS_PROGRESS_START");
    m_finishText = GetLocalizedUtf8("IDS_INSTALL_FINISH");
    SetProgress(0);
}

void ProgressPage::SetProgress(int percent) {
    if (m_shownPercent == percent) {
        return;
    }
    m_shownPercent = percent;
    const stdx::string8& text = percent == 100 ? m_finishText : m_startText;
    m_toolkit.SetText(m_statusLabel, text.c_str());
    // The bar takes 0..100 only; a worker's value outside is shown at the end.
    m_toolkit.SetProgress(m_progressBar, percent < 0 ? 0 : percent > 100 ? 100 : percent);
}
