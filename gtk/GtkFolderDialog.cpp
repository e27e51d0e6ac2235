#include "gtk/GtkFolderDialog.h"

namespace quillfen {

std::string RunFolderDialog(GtkWindow* owner, const std::string& initialFolder, const std::string& title,
                            const WindowLanguage& language) {
  GtkWidget* widget = gtk_file_chooser_dialog_new(title.empty() ? nullptr : title.c_str(), owner,
                                                  GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER, language.cancel.c_str(),
                                                  GTK_RESPONSE_CANCEL, language.select.c_str(), GTK_RESPONSE_ACCEPT,
                                                  nullptr);
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(widget);
  gtk_window_set_modal(GTK_WINDOW(widget), TRUE);
  gtk_dialog_set_default_response(GTK_DIALOG(widget), GTK_RESPONSE_ACCEPT);
  gtk_file_chooser_set_local_only(chooser, TRUE);
  gtk_file_chooser_set_create_folders(chooser, TRUE);
  // Never GTK's "Recent" view, where a typed path is not taken.
  const bool exists = !initialFolder.empty() && g_file_test(initialFolder.c_str(), G_FILE_TEST_IS_DIR);
  gtk_file_chooser_set_current_folder(chooser, exists ? initialFolder.c_str() : g_get_home_dir());

  std::string chosen;
  if (gtk_dialog_run(GTK_DIALOG(widget)) == GTK_RESPONSE_ACCEPT) {
    if (gchar* path = gtk_file_chooser_get_filename(chooser)) {
      chosen = path;
      g_free(path);
    }
  }
  gtk_widget_destroy(widget);
  return chosen;
}

}  // namespace quillfen
