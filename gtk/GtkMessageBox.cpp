#include "gtk/GtkMessageBox.h"

namespace quillfen {

namespace {

constexpr int kRetryResponse = 1;

const char* IconName(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::None: return nullptr;
    case BoxIcon::Information: return "dialog-information";
    case BoxIcon::Warning: return "dialog-warning";
    case BoxIcon::Question: return "dialog-question";
    case BoxIcon::Critical: return "dialog-error";
  }
  return nullptr;
}

// GTK 3 no longer draws the icon of a message type by itself; the box shows
// it, as users of the program expect from its messages.
void ShowIcon(GtkMessageDialog* dialog, BoxIcon icon) {
  const char* name = IconName(icon);
  if (!name) return;
  GtkWidget* image = gtk_image_new_from_icon_name(name, GTK_ICON_SIZE_DIALOG);
  gtk_widget_set_valign(image, GTK_ALIGN_START);
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  gtk_message_dialog_set_image(dialog, image);
  G_GNUC_END_IGNORE_DEPRECATIONS
  gtk_widget_show(image);
}

GtkMessageType MessageType(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::None: return GTK_MESSAGE_OTHER;
    case BoxIcon::Information: return GTK_MESSAGE_INFO;
    case BoxIcon::Warning: return GTK_MESSAGE_WARNING;
    case BoxIcon::Question: return GTK_MESSAGE_QUESTION;
    case BoxIcon::Critical: return GTK_MESSAGE_ERROR;
  }
  return GTK_MESSAGE_OTHER;
}

// Adds the box's buttons, captioned in the program's language (GTK's own
// labels would follow the system's); returns the response of the first one.
int AddButtons(GtkDialog* dialog, BoxButtons buttons, const WindowLanguage& language) {
  switch (buttons) {
    case BoxButtons::OK:
      gtk_dialog_add_button(dialog, language.ok.c_str(), GTK_RESPONSE_OK);
      return GTK_RESPONSE_OK;
    case BoxButtons::OKCancel:
      gtk_dialog_add_button(dialog, language.ok.c_str(), GTK_RESPONSE_OK);
      gtk_dialog_add_button(dialog, language.cancel.c_str(), GTK_RESPONSE_CANCEL);
      return GTK_RESPONSE_OK;
    case BoxButtons::RetryCancel:
      gtk_dialog_add_button(dialog, language.retry.c_str(), kRetryResponse);
      gtk_dialog_add_button(dialog, language.cancel.c_str(), GTK_RESPONSE_CANCEL);
      return kRetryResponse;
  }
  return GTK_RESPONSE_OK;
}

}  // namespace

BoxAnswer AnswerForResponse(int response, BoxButtons buttons) {
  if (response == GTK_RESPONSE_OK && buttons == BoxButtons::OKCancel) return BoxAnswer::OK;
  if (response == kRetryResponse && buttons == BoxButtons::RetryCancel) return BoxAnswer::Retry;
  // Escape, the close box and anything unforeseen take the safe way out.
  return buttons == BoxButtons::OK ? BoxAnswer::OK : BoxAnswer::Cancel;
}

namespace {

// A modal box over owner with the text as it stands, never read as markup
// or format; its buttons are added by the caller.
GtkDialog* NewBox(GtkWindow* owner, const std::string& text, const std::string& title, BoxIcon icon) {
  GtkWidget* widget = gtk_message_dialog_new(owner, GtkDialogFlags(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
                                             MessageType(icon), GTK_BUTTONS_NONE, "%s", text.c_str());
  gtk_window_set_title(GTK_WINDOW(widget), title.c_str());
  ShowIcon(GTK_MESSAGE_DIALOG(widget), icon);
  gtk_window_set_position(GTK_WINDOW(widget), owner && gtk_widget_get_visible(GTK_WIDGET(owner))
                                                  ? GTK_WIN_POS_CENTER_ON_PARENT
                                                  : GTK_WIN_POS_CENTER);
  gtk_window_set_skip_taskbar_hint(GTK_WINDOW(widget), owner != nullptr);
  return GTK_DIALOG(widget);
}

// Runs the box with the button of `first` as its default; its response.
int Run(GtkDialog* dialog, int first) {
  gtk_dialog_set_default_response(dialog, first);
  GtkWidget* firstButton = gtk_dialog_get_widget_for_response(dialog, first);
  if (firstButton) gtk_widget_grab_focus(firstButton);
  const int response = gtk_dialog_run(dialog);
  gtk_widget_destroy(GTK_WIDGET(dialog));
  return response;
}

}  // namespace

BoxAnswer RunMessageBox(GtkWindow* owner, const std::string& text, const std::string& title, BoxIcon icon,
                        BoxButtons buttons, const WindowLanguage& language) {
  GtkDialog* dialog = NewBox(owner, text, title, icon);
  return AnswerForResponse(Run(dialog, AddButtons(dialog, buttons, language)), buttons);
}

std::optional<std::size_t> RunChoiceBox(GtkWindow* owner, const std::string& text, const std::string& title,
                                        BoxIcon icon, const std::vector<std::string>& buttons) {
  GtkDialog* dialog = NewBox(owner, text, title, icon);
  // Responses 0, 1, ... are the buttons; GTK's own are negative. The
  // captions carry "_" before the letter that chooses them with Alt.
  for (std::size_t i = 0; i < buttons.size(); ++i)
    gtk_dialog_add_button(dialog, buttons[i].c_str(), static_cast<int>(i));
  const int response = Run(dialog, 0);
  if (response < 0 || static_cast<std::size_t>(response) >= buttons.size()) return std::nullopt;
  return static_cast<std::size_t>(response);
}

}  // namespace quillfen
