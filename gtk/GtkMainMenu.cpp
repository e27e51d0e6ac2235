#include "gtk/GtkMainMenu.h"

namespace quillfen {

namespace {

struct Activation {
  GtkMainMenu* menu;
  MenuItem item;
};

}  // namespace

GtkMainMenu::GtkMainMenu(ClickHandler onClick) : onClick_(std::move(onClick)) {
  bar_ = gtk_menu_bar_new();
  GtkWidget* options = AddSubmenu(bar_, MenuItem::Options);
  GtkWidget* language = AddSubmenu(options, MenuItem::Language);
  AddItem(language, MenuItem::LangRussian, true);
  AddItem(language, MenuItem::LangEnglish, true);
  AddItem(options, MenuItem::AllCameraFiles, true);
  AddItem(options, MenuItem::DateTakenFolders, true);
  AddItem(options, MenuItem::Testing, true);
  // The diagnostic item exists but is never offered to the user.
  GtkWidget* test = AddItem(options, MenuItem::Test, false);
  gtk_widget_set_no_show_all(test, TRUE);
  gtk_widget_hide(test);
  gtk_widget_set_sensitive(test, FALSE);
  items_[MenuItem::Test].enabled = false;
  GtkWidget* help = AddSubmenu(bar_, MenuItem::Help);
  AddItem(help, MenuItem::About, false);
  for (MenuItem item : {MenuItem::LangRussian, MenuItem::LangEnglish})
    gtk_check_menu_item_set_draw_as_radio(GTK_CHECK_MENU_ITEM(items_[item].widget), TRUE);
}

GtkWidget* GtkMainMenu::AddItem(GtkWidget* parentMenu, MenuItem item, bool checkable) {
  Item& state = items_[item];
  state.checkable = checkable;
  state.widget = checkable ? gtk_check_menu_item_new_with_label(DesignMenuCaption(item))
                           : gtk_menu_item_new_with_label(DesignMenuCaption(item));
  gtk_menu_shell_append(GTK_MENU_SHELL(parentMenu), state.widget);
  // The activation record lives as long as the widget.
  auto* activation = new Activation{this, item};
  g_signal_connect_data(state.widget, "activate", G_CALLBACK(OnActivate), activation,
                        [](gpointer data, GClosure*) { delete static_cast<Activation*>(data); }, GConnectFlags(0));
  return state.widget;
}

GtkWidget* GtkMainMenu::AddSubmenu(GtkWidget* parentShell, MenuItem item) {
  Item& state = items_[item];
  state.widget = gtk_menu_item_new_with_label(DesignMenuCaption(item));
  GtkWidget* submenu = gtk_menu_new();
  gtk_menu_item_set_submenu(GTK_MENU_ITEM(state.widget), submenu);
  gtk_menu_shell_append(GTK_MENU_SHELL(parentShell), state.widget);
  return submenu;
}

void GtkMainMenu::OnActivate(GtkMenuItem*, gpointer data) {
  auto* activation = static_cast<Activation*>(data);
  GtkMainMenu* self = activation->menu;
  if (self->settingState_) return;
  Item& state = self->items_[activation->item];
  if (gtk_menu_item_get_submenu(GTK_MENU_ITEM(state.widget))) return;
  if (state.checkable) {
    // GTK has already flipped the mark; the program decides what it shows.
    self->settingState_ = true;
    gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(state.widget), state.checked);
    self->settingState_ = false;
  }
  if (!state.enabled) return;
  self->onClick_(activation->item);
}

void GtkMainMenu::SetCaption(MenuItem item, const std::string& caption) {
  gtk_menu_item_set_label(GTK_MENU_ITEM(items_.at(item).widget), caption.c_str());
}

std::string GtkMainMenu::Caption(MenuItem item) const {
  const char* label = gtk_menu_item_get_label(GTK_MENU_ITEM(items_.at(item).widget));
  return label ? label : "";
}

bool GtkMainMenu::Checked(MenuItem item) const {
  const Item& state = items_.at(item);
  return state.checkable ? gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(state.widget)) : state.checked;
}

bool GtkMainMenu::Enabled(MenuItem item) const {
  const Item& state = items_.at(item);
  return state.enabled && gtk_widget_get_sensitive(state.widget);
}

void GtkMainMenu::SetTooltip(MenuItem item, const std::string& text) {
  gtk_widget_set_tooltip_text(items_.at(item).widget, text.empty() ? nullptr : text.c_str());
}

void GtkMainMenu::SetChecked(MenuItem item, bool checked) {
  Item& state = items_.at(item);
  state.checked = checked;
  if (!state.checkable) return;
  settingState_ = true;
  gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(state.widget), checked);
  settingState_ = false;
}

void GtkMainMenu::SetEnabled(MenuItem item, bool enabled) {
  Item& state = items_.at(item);
  // The diagnostic item stays out of the user's reach whatever it is told.
  if (item == MenuItem::Test) return;
  state.enabled = enabled;
  gtk_widget_set_sensitive(state.widget, enabled);
}

}  // namespace quillfen
