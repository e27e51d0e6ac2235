#include "gtk/GtkAboutDialog.h"

#include "gtk/GtkTheme.h"

namespace quillfen {

namespace {

GtkWidget* TextLabel(const std::string& text, const char* styleClass = nullptr) {
  GtkWidget* label = gtk_label_new(text.c_str());
  gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
  gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
  gtk_label_set_max_width_chars(GTK_LABEL(label), 46);
  gtk_label_set_selectable(GTK_LABEL(label), FALSE);
  if (styleClass) gtk_style_context_add_class(gtk_widget_get_style_context(label), styleClass);
  return label;
}

struct LinkClick {
  std::string url;
  const std::function<void(const std::string&)>* openUrl;
};

gboolean OnLinkPressed(GtkWidget*, GdkEventButton* event, gpointer data) {
  if (event->button != 1) return FALSE;
  auto* click = static_cast<LinkClick*>(data);
  (*click->openUrl)(click->url);
  return TRUE;
}

void OnLinkRealized(GtkWidget* widget, gpointer) {
  GdkCursor* hand = gdk_cursor_new_from_name(gtk_widget_get_display(widget), "pointer");
  gdk_window_set_cursor(gtk_widget_get_window(widget), hand);
  if (hand) g_object_unref(hand);
}

// The address in blue underlined text that opens the home page when clicked.
GtkWidget* LinkLabel(LinkClick& click) {
  gchar* escaped = g_markup_escape_text(click.url.c_str(), -1);
  gchar* markup = g_strdup_printf("<span foreground=\"%s\" underline=\"single\">%s</span>", kLinkColour, escaped);
  GtkWidget* label = gtk_label_new(nullptr);
  gtk_label_set_markup(GTK_LABEL(label), markup);
  gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
  g_free(markup);
  g_free(escaped);
  GtkWidget* box = gtk_event_box_new();
  gtk_event_box_set_visible_window(GTK_EVENT_BOX(box), FALSE);
  gtk_container_add(GTK_CONTAINER(box), label);
  gtk_widget_set_halign(box, GTK_ALIGN_START);
  gtk_widget_set_tooltip_text(box, click.url.c_str());
  g_signal_connect(box, "button-press-event", G_CALLBACK(OnLinkPressed), &click);
  g_signal_connect_after(box, "realize", G_CALLBACK(OnLinkRealized), nullptr);
  return box;
}

}  // namespace

void RunAboutDialog(GtkWindow* owner, const AboutTexts& texts, const std::string& picturePath,
                    const std::function<void(const std::string&)>& openUrl, const WindowLanguage& language) {
  InstallTheme();
  GtkWidget* widget = gtk_dialog_new();
  GtkDialog* dialog = GTK_DIALOG(widget);
  GtkWindow* window = GTK_WINDOW(widget);
  gtk_window_set_title(window, texts.windowTitle.c_str());
  gtk_window_set_transient_for(window, owner);
  gtk_window_set_modal(window, TRUE);
  gtk_window_set_destroy_with_parent(window, TRUE);
  gtk_window_set_resizable(window, FALSE);
  gtk_window_set_skip_taskbar_hint(window, TRUE);
  gtk_window_set_position(window, GTK_WIN_POS_CENTER_ON_PARENT);
  gtk_style_context_add_class(gtk_widget_get_style_context(widget), kAboutClass);

  GtkWidget* columns = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 18);
  gtk_container_set_border_width(GTK_CONTAINER(columns), 14);
  GtkWidget* picture = gtk_image_new_from_file(picturePath.c_str());
  gtk_widget_set_size_request(picture, 120, 120);
  gtk_widget_set_valign(picture, GTK_ALIGN_START);
  gtk_box_pack_start(GTK_BOX(columns), picture, FALSE, FALSE, 0);

  GtkWidget* textColumn = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
  gtk_box_pack_start(GTK_BOX(textColumn), TextLabel(texts.title, kTitleClass), FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(textColumn), TextLabel(texts.version), FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(textColumn), TextLabel(texts.description), FALSE, FALSE, 4);
  gtk_box_pack_start(GTK_BOX(textColumn), gtk_separator_new(GTK_ORIENTATION_HORIZONTAL), FALSE, FALSE, 2);
  gtk_box_pack_start(GTK_BOX(textColumn), TextLabel(texts.disclaimer, kNoticeClass), FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(textColumn), gtk_separator_new(GTK_ORIENTATION_HORIZONTAL), FALSE, FALSE, 2);
  LinkClick click{texts.url, &openUrl};
  gtk_box_pack_start(GTK_BOX(textColumn), LinkLabel(click), FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(columns), textColumn, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(dialog)), columns, TRUE, TRUE, 0);

  // OK is the default and the cancel button: Enter and Escape both close.
  GtkWidget* ok = gtk_dialog_add_button(dialog, language.ok.c_str(), GTK_RESPONSE_OK);
  gtk_widget_set_size_request(ok, 90, -1);
  gtk_dialog_set_default_response(dialog, GTK_RESPONSE_OK);
  gtk_widget_show_all(widget);
  gtk_widget_grab_focus(ok);
  gtk_dialog_run(dialog);
  gtk_widget_destroy(widget);
}

}  // namespace quillfen
