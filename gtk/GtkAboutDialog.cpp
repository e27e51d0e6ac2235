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

// The program opens the address itself, as its other links.
gboolean OnActivateLink(GtkLinkButton*, gpointer data) {
  auto* click = static_cast<LinkClick*>(data);
  (*click->openUrl)(click->url);
  return TRUE;
}

// The address as a link, underlined in the link colour: reached with Tab,
// opened with Enter or a click, and shown to screen readers as a link.
GtkWidget* Link(LinkClick& click) {
  GtkWidget* link = gtk_link_button_new(click.url.c_str());
  gtk_widget_set_halign(link, GTK_ALIGN_START);
  // GTK 3 shows a link button to screen readers as a button.
  atk_object_set_role(gtk_widget_get_accessible(link), ATK_ROLE_LINK);
  g_signal_connect(link, "activate-link", G_CALLBACK(OnActivateLink), &click);
  return link;
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
  gtk_box_pack_start(GTK_BOX(textColumn), Link(click), FALSE, FALSE, 0);
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
