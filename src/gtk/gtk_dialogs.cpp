// Modal message boxes and the directory chooser. Both run their own nested
// main loop with gtk_dialog_run and have no parent window.
#include "gtk_toolkit.h"

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
    GtkButtonsType buttons =
        wizard::MessageBoxHasYesNo(flags) ? GTK_BUTTONS_YES_NO : GTK_BUTTONS_OK;
    // The text is an argument, never the format: it may contain '%'.
    GtkWidget* box = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, MessageTypeOf(flags),
                                            buttons, "%s", text);
    gtk_window_set_title(GTK_WINDOW(box), title != nullptr ? title : "");
    gint response = gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
    return AnswerOf(response);
}

void GtkToolkit::ChooseDirectory(wizard::Handle, wizard::Handle entry) {
    GtkWidget* chooser = gtk_file_chooser_dialog_new(
        nullptr, nullptr, GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER, GTK_STOCK_CANCEL,
        GTK_RESPONSE_CANCEL, GTK_STOCK_OPEN, GTK_RESPONSE_ACCEPT, nullptr);
    gtk_window_set_modal(GTK_WINDOW(chooser), TRUE);
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
