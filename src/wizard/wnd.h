// The base of the installer window: its title and the message box, which
// titles itself with the window's title. The box goes to the widget toolkit
// of a windowed front end, or to the step front end of the console.
#pragma once
#include <cstdint>

#include "text/basic_string.h"
#include "wizard/step_ui.h"
#include "wizard/toolkit.h"

class CWnd {
  public:
    explicit CWnd(wizard::Toolkit& toolkit) : m_toolkit(&toolkit) {}
    explicit CWnd(wizard::StepUi& steps) : m_steps(&steps) {}
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The window title; a bare CWnd has none.
    virtual stdx::string16 GetTitle() const;
    // Modal box of the kind and buttons that `flags` select; returns
    // 1 (Yes), 2 (No), 3 (OK) or 0 (closed otherwise).
    int MessageBox(const stdx::string16& text, uint32_t flags);

  protected:
    // Exactly one of the two is set, for the life of the object.
    wizard::Toolkit* m_toolkit = nullptr;
    wizard::StepUi* m_steps = nullptr;
};
