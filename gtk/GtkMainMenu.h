#pragma once
// The main window's menu bar on GTK, built from the program's entries. The
// items keep the state the program gives them: a click reports the item and
// leaves its check mark alone, as the program sets check marks itself.
#include <gtk/gtk.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/WindowSystem.h"

namespace quillfen {

class GtkMainMenu {
 public:
  using ClickHandler = std::function<void(const MenuItem&)>;
  explicit GtkMainMenu(ClickHandler onClick);
  GtkMainMenu(const GtkMainMenu&) = delete;
  GtkMainMenu& operator=(const GtkMainMenu&) = delete;

  GtkWidget* bar() const { return bar_; }
  // Fills the bar; parents come before their items.
  void Build(const std::vector<MenuEntry>& entries);

  void SetCaption(const MenuItem& item, const std::string& caption);
  // What the items show, read from the widgets themselves.
  std::string Caption(const MenuItem& item) const;
  void SetTooltip(const MenuItem& item, const std::string& text);
  void SetChecked(const MenuItem& item, bool checked);
  bool Checked(const MenuItem& item) const;
  void SetEnabled(const MenuItem& item, bool enabled);
  bool Enabled(const MenuItem& item) const;
  // Every item, in the order it was built.
  const std::vector<MenuItem>& Items() const { return order_; }

 private:
  struct Item {
    GtkWidget* widget = nullptr;
    GtkWidget* submenu = nullptr;  // the menu a submenu item opens
    bool checkable = false;
    bool offered = true;
    bool checked = false;
    bool enabled = true;
  };
  void Add(const MenuEntry& entry);
  static void OnActivate(GtkMenuItem* widget, gpointer data);

  ClickHandler onClick_;
  GtkWidget* bar_ = nullptr;
  std::map<MenuItem, Item> items_;
  std::vector<MenuItem> order_;
  bool settingState_ = false;
};

}  // namespace quillfen
