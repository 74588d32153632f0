// Modal message boxes and the directory chooser. Both run their own nested
// main loop with gtk_dialog_run, are transient for the wizard window while it
// exists, and take their captions from the dialog's language.
#include <poll.h>
#include <sys/stat.h>

#include "gtk/gtk_toolkit.h"
#include "l10n/mnemonic.h"
#include "launcher/user_path.h"
#include "text/string_util.h"
#include "text/utf8.h"

namespace gtkfront {

namespace {

GtkMessageType MessageTypeOf(uint32_t flags) {
    switch (wizard::MessageBoxKind(flags)) {
        case wizard::kMessageBoxKindError:
            return GTK_MESSAGE_ERROR;
        case wizard::kMessageBoxKindQuestion:
            return GTK_MESSAGE_QUESTION;
        default:
            return GTK_MESSAGE_OTHER;
    }
}

bool Readable(int fd) {
    struct pollfd ready = {fd, POLLIN, 0};
    return poll(&ready, 1, 0) == 1;
}

int AnswerOf(gint response) {
    switch (response) {
        case GTK_RESPONSE_YES:
            return wizard::kAnswerYes;
        case GTK_RESPONSE_NO:
            return wizard::kAnswerNo;
        case GTK_RESPONSE_OK:
            return wizard::kAnswerOk;
        default:
            // Cancel, close, Escape or the window control.
            return wizard::kAnswerNone;
    }
}

}  // namespace

int GtkToolkit::MessageBox(const char* text, uint32_t flags, const char* title) {
    GtkWindow* parent = window_ != nullptr ? GTK_WINDOW(window_) : nullptr;
    // The text is an argument, never the format: it may contain '%'.
    GtkWidget* box = gtk_message_dialog_new(parent, GTK_DIALOG_MODAL, MessageTypeOf(flags),
                                            GTK_BUTTONS_NONE, "%s", text);
    // The buttons answer to Alt and their marked letter; GTK reads "_".
    if (wizard::MessageBoxHasYesNo(flags)) {
        const stdx::string8 no = l10n::UnderlineMnemonic(Caption(texts_.no, "&No"));
        const stdx::string8 yes = l10n::UnderlineMnemonic(Caption(texts_.yes, "&Yes"));
        gtk_dialog_add_buttons(GTK_DIALOG(box), no.c_str(), GTK_RESPONSE_NO, yes.c_str(),
                               GTK_RESPONSE_YES, nullptr);
    } else {
        const stdx::string8 ok = l10n::UnderlineMnemonic(Caption(texts_.ok, "&OK"));
        gtk_dialog_add_button(GTK_DIALOG(box), ok.c_str(), GTK_RESPONSE_OK);
        gtk_dialog_set_default_response(GTK_DIALOG(box), GTK_RESPONSE_OK);
    }
    gtk_window_set_title(GTK_WINDOW(box), title != nullptr ? title : "");
    // A box opened while a signal waits ends at once.
    openBox_ = box;
    gint response = GTK_RESPONSE_NONE;
    if (interruptFd_ < 0 || !Readable(interruptFd_)) {
        response = gtk_dialog_run(GTK_DIALOG(box));
    }
    openBox_ = nullptr;
    gtk_widget_destroy(box);
    return AnswerOf(response);
}

void GtkToolkit::SetInterruptDescriptor(int fd) {
    if (interruptWatch_ != 0) {
        g_source_remove(interruptWatch_);
        interruptWatch_ = 0;
    }
    interruptFd_ = fd;
    if (fd < 0) {
        return;
    }
    GIOChannel* channel = g_io_channel_unix_new(fd);
    interruptWatch_ = g_io_add_watch(channel, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP),
                                     &GtkToolkit::OnInterrupt, this);
    g_io_channel_unref(channel);
}

// Stays installed: the dialog empties the descriptor at its next look, and
// having been served ends a waiting ProcessEvents.
gboolean GtkToolkit::OnInterrupt(GIOChannel*, GIOCondition, gpointer self) {
    auto* toolkit = static_cast<GtkToolkit*>(self);
    if (toolkit->openBox_ != nullptr) {
        gtk_dialog_response(GTK_DIALOG(toolkit->openBox_), GTK_RESPONSE_NONE);
    }
    return TRUE;
}

void GtkToolkit::SetDialogTexts(const wizard::DialogTexts& texts) {
    texts_ = texts;
}

const char* GtkToolkit::Caption(const stdx::string8& text, const char* fallback) {
    return text.empty() ? fallback : text.c_str();
}

namespace {

// The directory the entry names, or its nearest existing parent: the chooser
// opens there rather than on its recently used list.
stdx::string8 StartFolder(const char* typed) {
    stdx::string16 wide;
    stdx::string8 path;
    if (typed == nullptr || !stdx::from_utf8(stdx::string8(typed), wide)) {
        return path;
    }
    stdx::replace_all(wide, stdx::string16(u"\\"), stdx::string16(u"/"));
    wide = ExpandUserPath(wide);
    while (!wide.empty()) {
        stdx::string8 native = stdx::to_utf8(wide);
        struct stat st;
        if (::stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            return native;
        }
        const size_t slash = wide.rfind(u'/', wide.size() > 1 ? wide.size() - 2 : 0);
        if (slash == stdx::string16::npos) {
            break;
        }
        wide = wide.substr(0, slash == 0 ? 1 : slash);
    }
    return path;
}

}  // namespace

void GtkToolkit::ChooseDirectory(wizard::Handle, wizard::Handle entry) {
    GtkWindow* parent = window_ != nullptr ? GTK_WINDOW(window_) : nullptr;
    GtkWidget* chooser = gtk_file_chooser_dialog_new(
        Caption(texts_.chooserTitle, ""), parent, GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER,
        Caption(texts_.chooserCancel, GTK_STOCK_CANCEL), GTK_RESPONSE_CANCEL,
        Caption(texts_.chooserSelect, GTK_STOCK_OPEN), GTK_RESPONSE_ACCEPT, nullptr);
    gtk_window_set_modal(GTK_WINDOW(chooser), TRUE);
    const stdx::string8 start = StartFolder(gtk_entry_get_text(GTK_ENTRY(entry)));
    if (!start.empty()) {
        gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(chooser), start.c_str());
    }
    if (gtk_dialog_run(GTK_DIALOG(chooser)) == GTK_RESPONSE_ACCEPT) {
        gchar* folder = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(chooser));
        if (folder != nullptr) {
            gtk_entry_set_text(GTK_ENTRY(entry), folder);
            g_free(folder);
        }
    }
    gtk_widget_destroy(chooser);
}

}  // namespace gtkfront
