// The wizard's pages: groups of controls at fixed positions in the dialog's
// content container, shown together when the page becomes current and hidden
// together when another page takes its place. The button bar belongs to the
// window, not to a page.
//
//   WizardDialogPage
//     MessagePage        welcome page, error page
//       SuccessFinalPage success page (adds the "open description" box)
//     DirSelectPage      directory page
//     ProgressPage       copying page
//
// Layout (pixels from the top-left of the 500 x 360 content area):
//   picture           (0, 0)      158 x 286
//   text / prompt     (170, 10)   toolkit's size
//   check box         (170, 170)
//   entry caption     (170, 255)
//   directory entry   (170, 275)  280 x 30
//   browse "..."      (460, 275)  30 x 30
//   status label      (10, 130)
//   progress bar      (10, 150)   bar width x 20
#pragma once
#include <optional>
#include <vector>

#include "text/basic_string.h"
#include "wizard/toolkit.h"

class WizardDialogPage {
  public:
    WizardDialogPage(wizard::Toolkit& toolkit, wizard::Handle parent);
    virtual ~WizardDialogPage() = default;
    WizardDialogPage(const WizardDialogPage&) = delete;
    WizardDialogPage& operator=(const WizardDialogPage&) = delete;

    // Called after the page's controls were shown. Nothing to do in any page.
    virtual void OnShow() {}
    // The page's controls in creation order.
    const std::vector<wizard::Handle>& Controls() const { return m_controls; }

  protected:
    wizard::Handle Add(wizard::Handle control);

    wizard::Toolkit& m_toolkit;
    wizard::Handle m_parent;
    std::vector<wizard::Handle> m_controls;
};

class MessagePage : public WizardDialogPage {
  public:
    MessagePage(wizard::Toolkit& toolkit, wizard::Handle parent, wizard::Handle picture,
                const stdx::string16& text);
    void SetText(const stdx::string16& text);

  protected:
    wizard::Handle m_image = nullptr;
    wizard::Handle m_text = nullptr;
};

class SuccessFinalPage : public MessagePage {
  public:
    SuccessFinalPage(wizard::Toolkit& toolkit, wizard::Handle parent, wizard::Handle picture,
                     const stdx::string16& text);
    bool IsOpenChecked() const;

  private:
    wizard::Handle m_openCheck = nullptr;
};

class DirSelectPage : public WizardDialogPage {
  public:
    // `window` is the wizard window the directory chooser belongs to.
    DirSelectPage(wizard::Toolkit& toolkit, wizard::Handle parent, wizard::Handle picture,
                  wizard::Handle window);
    void OnShow() override {}
    void SetPath(const stdx::string16& path);
    // The entry's text as typed: nothing is trimmed or checked here.
    stdx::string16 GetPath() const;
    // Opens the directory chooser; a confirmed choice replaces the entry.
    void Browse();

  private:
    wizard::Handle m_window;
    wizard::Handle m_image = nullptr;
    wizard::Handle m_entry = nullptr;
    wizard::Handle m_prompt = nullptr;
    wizard::Handle m_label = nullptr;
    wizard::Handle m_browseButton = nullptr;
};

class ProgressPage : public WizardDialogPage {
  public:
    ProgressPage(wizard::Toolkit& toolkit, wizard::Handle parent, int barWidth);
    // The label reads the finish text at exactly 100, the start text otherwise.
    // The copy poll loop calls this on every event pass, mostly with the value
    // already shown: only a changed percentage reaches the toolkit, so an idle
    // pass neither re-measures the label nor redraws the bar.
    void SetProgress(int percent);

  private:
    wizard::Handle m_statusLabel = nullptr;
    wizard::Handle m_progressBar = nullptr;
    stdx::string8 m_startText;
    stdx::string8 m_finishText;
    // The percentage the controls show; none before the first SetProgress.
    std::optional<int> m_shownPercent;
};
