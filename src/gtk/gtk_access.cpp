// What the keyboard and a screen reader get from the GTK front end: Return
// in an entry as a command, spoken names, caption relations, and hidden page
// controls withdrawn from the accessibility tree. GTK's accessibility layer
// lists every child of a container, shown or not, so a hidden control is
// taken out of its GtkFixed (and kept alive) until it is shown again.
#include "gtk/gtk_toolkit.h"

namespace gtkfront {

namespace {

const char kEntryCommandKey[] = "setup-entry-command";
const char kParkedInKey[] = "setup-parked-in";
const char kParkedXKey[] = "setup-parked-x";
const char kParkedYKey[] = "setup-parked-y";
const char kLabelledKey[] = "setup-labelled";

}  // namespace

void GtkToolkit::SetEntryCommand(wizard::Handle entry, wizard::Command command) {
    g_object_set_data(G_OBJECT(entry), kEntryCommandKey,
                      GINT_TO_POINTER(static_cast<int>(command)));
    g_signal_connect(entry, "activate", G_CALLBACK(OnEntryActivate), this);
}

void GtkToolkit::OnEntryActivate(GtkEntry* entry, gpointer self) {
    auto* toolkit = static_cast<GtkToolkit*>(self);
    if (toolkit->listener_ == nullptr) {
        return;
    }
    const int command = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(entry), kEntryCommandKey));
    toolkit->listener_->OnCommand(static_cast<wizard::Command>(command));
}

void GtkToolkit::SetAccessibleName(wizard::Handle control, const char* name) {
    GtkWidget* widget = GTK_WIDGET(control);
    atk_object_set_name(gtk_widget_get_accessible(widget), name);
    // Seen on the screen too, when the pointer rests on the control.
    gtk_widget_set_tooltip_text(widget, name);
}

void GtkToolkit::SetLabelFor(wizard::Handle label, wizard::Handle control) {
    GtkWidget* caption = GTK_WIDGET(label);
    GtkWidget* target = GTK_WIDGET(control);
    if (GTK_IS_LABEL(caption) && gtk_widget_get_can_focus(target)) {
        gtk_label_set_mnemonic_widget(GTK_LABEL(caption), target);
    }
    AtkObject* captionAccess = gtk_widget_get_accessible(caption);
    AtkObject* targetAccess = gtk_widget_get_accessible(target);
    atk_object_add_relationship(captionAccess, ATK_RELATION_LABEL_FOR, targetAccess);
    atk_object_add_relationship(targetAccess, ATK_RELATION_LABELLED_BY, captionAccess);
    g_object_set_data(G_OBJECT(caption), kLabelledKey, target);
    NameAfterCaption(caption);
}

// The labelled control's name follows its caption's text.
void GtkToolkit::NameAfterCaption(GtkWidget* label) {
    auto* target = static_cast<GtkWidget*>(g_object_get_data(G_OBJECT(label), kLabelledKey));
    if (target == nullptr || !GTK_IS_LABEL(label)) {
        return;
    }
    atk_object_set_name(gtk_widget_get_accessible(target), gtk_label_get_text(GTK_LABEL(label)));
}

void GtkToolkit::Park(GtkWidget* widget) {
    GtkWidget* parent = gtk_widget_get_parent(widget);
    if (!GTK_IS_FIXED(parent)) {
        return;
    }
    gint x = 0;
    gint y = 0;
    gtk_container_child_get(GTK_CONTAINER(parent), widget, "x", &x, "y", &y, nullptr);
    g_object_set_data(G_OBJECT(widget), kParkedInKey, parent);
    g_object_set_data(G_OBJECT(widget), kParkedXKey, GINT_TO_POINTER(x));
    g_object_set_data(G_OBJECT(widget), kParkedYKey, GINT_TO_POINTER(y));
    g_object_ref(widget);
    gtk_container_remove(GTK_CONTAINER(parent), widget);
    parked_.push_back(widget);
}

void GtkToolkit::Unpark(GtkWidget* widget) {
    auto* parent = static_cast<GtkWidget*>(g_object_get_data(G_OBJECT(widget), kParkedInKey));
    if (parent == nullptr) {
        return;
    }
    const int x = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(widget), kParkedXKey));
    const int y = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(widget), kParkedYKey));
    g_object_set_data(G_OBJECT(widget), kParkedInKey, nullptr);
    gtk_fixed_put(GTK_FIXED(parent), widget, x, y);
    g_object_unref(widget);
    parked_.erase(std::remove(parked_.begin(), parked_.end(), widget), parked_.end());
}

// Parked controls are outside the container: they go with the window too.
void GtkToolkit::DestroyParked() {
    std::vector<GtkWidget*> parked;
    parked.swap(parked_);
    for (GtkWidget* widget : parked) {
        gtk_widget_destroy(widget);
        g_object_unref(widget);
    }
}

void GtkToolkit::SetVisible(wizard::Handle control, bool visible) {
    GtkWidget* widget = GTK_WIDGET(control);
    if (visible) {
        Unpark(widget);
        gtk_widget_show(widget);
        return;
    }
    gtk_widget_hide(widget);
    Park(widget);
}

}  // namespace gtkfront
