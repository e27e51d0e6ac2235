#include "gtk/GtkMainMenu.h"

namespace quillfen {

namespace {

struct Activation {
  GtkMainMenu* menu;
  MenuItem item;
};

bool Checkable(MenuKind kind) { return kind == MenuKind::Check || kind == MenuKind::Choice || kind == MenuKind::Option; }

}  // namespace

GtkMainMenu::GtkMainMenu(ClickHandler onClick) : onClick_(std::move(onClick)) { bar_ = gtk_menu_bar_new(); }

void GtkMainMenu::Build(const std::vector<MenuEntry>& entries) {
  for (const MenuEntry& entry : entries) Add(entry);
  gtk_widget_show_all(bar_);
}

void GtkMainMenu::Add(const MenuEntry& entry) {
  Item& state = items_[entry.item];
  order_.push_back(entry.item);
  state.checkable = Checkable(entry.kind);
  state.offered = entry.offered;
  const char* caption = entry.caption.c_str();
  state.widget = state.checkable ? gtk_check_menu_item_new_with_label(caption) : gtk_menu_item_new_with_label(caption);
  if (entry.kind == MenuKind::Choice) gtk_check_menu_item_set_draw_as_radio(GTK_CHECK_MENU_ITEM(state.widget), TRUE);
  if (entry.kind == MenuKind::Submenu) {
    state.submenu = gtk_menu_new();
    gtk_menu_item_set_submenu(GTK_MENU_ITEM(state.widget), state.submenu);
  }
  GtkWidget* parent = entry.parent.name.empty() ? bar_ : items_.at(entry.parent).submenu;
  gtk_menu_shell_append(GTK_MENU_SHELL(parent), state.widget);
  if (!entry.offered) {
    // The item exists but is never offered to the user.
    gtk_widget_set_no_show_all(state.widget, TRUE);
    gtk_widget_hide(state.widget);
    gtk_widget_set_sensitive(state.widget, FALSE);
    state.enabled = false;
  }
  if (entry.kind == MenuKind::Submenu) return;
  // The activation record lives as long as the widget.
  auto* activation = new Activation{this, entry.item};
  g_signal_connect_data(state.widget, "activate", G_CALLBACK(OnActivate), activation,
                        [](gpointer data, GClosure*) { delete static_cast<Activation*>(data); }, GConnectFlags(0));
}

void GtkMainMenu::OnActivate(GtkMenuItem*, gpointer data) {
  auto* activation = static_cast<Activation*>(data);
  GtkMainMenu* self = activation->menu;
  if (self->settingState_) return;
  Item& state = self->items_[activation->item];
  if (state.checkable) {
    // GTK has already flipped the mark; the program decides what it shows.
    self->settingState_ = true;
    gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(state.widget), state.checked);
    self->settingState_ = false;
  }
  if (!state.enabled) return;
  self->onClick_(activation->item);
}

void GtkMainMenu::SetCaption(const MenuItem& item, const std::string& caption) {
  gtk_menu_item_set_label(GTK_MENU_ITEM(items_.at(item).widget), caption.c_str());
}

std::string GtkMainMenu::Caption(const MenuItem& item) const {
  const char* label = gtk_menu_item_get_label(GTK_MENU_ITEM(items_.at(item).widget));
  return label ? label : "";
}

bool GtkMainMenu::Checked(const MenuItem& item) const {
  const Item& state = items_.at(item);
  return state.checkable ? gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(state.widget)) : state.checked;
}

bool GtkMainMenu::Enabled(const MenuItem& item) const {
  const Item& state = items_.at(item);
  return state.enabled && gtk_widget_get_sensitive(state.widget);
}

void GtkMainMenu::SetTooltip(const MenuItem& item, const std::string& text) {
  gtk_widget_set_tooltip_text(items_.at(item).widget, text.empty() ? nullptr : text.c_str());
}

void GtkMainMenu::SetChecked(const MenuItem& item, bool checked) {
  Item& state = items_.at(item);
  state.checked = checked;
  if (!state.checkable) return;
  settingState_ = true;
  gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(state.widget), checked);
  settingState_ = false;
}

void GtkMainMenu::SetEnabled(const MenuItem& item, bool enabled) {
  Item& state = items_.at(item);
  // An item not offered stays out of the user's reach whatever it is told.
  if (!state.offered) return;
  state.enabled = enabled;
  gtk_widget_set_sensitive(state.widget, enabled);
}

}  // namespace quillfen
