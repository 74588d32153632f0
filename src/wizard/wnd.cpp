// Message boxes through the toolkit, titled with the window's title.
#include "wizard/wnd.h"

#include "text/utf8.h"

stdx::string16 CWnd::GetTitle() const {
    return stdx::string16();
}

int CWnd::MessageBox(const stdx::string16& text, uint32_t flags) {
    const stdx::string8 utf8 = stdx::to_utf8(text);
    const stdx::string8 title = stdx::to_utf8(GetTitle());
    int answer = m_steps != nullptr ? m_steps->MessageBox(utf8.c_str(), flags, title.c_str())
                                    : m_toolkit->MessageBox(utf8.c_str(), flags, title.c_str());
    if (answer < wizard::kAnswerNone || answer > wizard::kAnswerOk) {
        return wizard::kAnswerNone;
    }
    return answer;
}
