// Message boxes through the toolkit, titled with the window's title.
#include "wizard/wnd.h"

#include "text/utf8.h"

stdx::string16 CWnd::GetTitle() const {
    return stdx::string16();
}

int CWnd::MessageBox(const stdx::string16& text, uint32_t flags) {
    int answer =
        m_toolkit.MessageBox(stdx::to_utf8(text).c_str(), flags, stdx::to_utf8(GetTitle()).c_str());
    if (answer < wizard::kAnswerNone || answer > wizard::kAnswerOk) {
        return wizard::kAnswerNone;
    }
    return answer;
}
