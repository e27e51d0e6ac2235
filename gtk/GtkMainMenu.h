#pragma once
// The main window's menu bar on GTK. The items keep the state the program
// gives them: a click reports the item and leaves its check mark alone, as
// the program sets check marks itself.
#include <gtk/gtk.h>

#include <functional>
#include <map>
#include <string>

#include "platform/WindowSystem.h"

namespace quillfen {

class GtkMainMenu {
 public:
  using ClickHandler = std::function<void(MenuItem)>;
  explicit GtkMainMenu(ClickHandler onClick);
  GtkMainMenu(const GtkMainMenu&) = delete;
  GtkMainMenu& operator=(const GtkMainMenu&) = delete;

  GtkWidget* bar() const { return bar_; }

  void SetCaption(MenuItem item, const std::string& caption);
  // What the items show, read from the widgets themselves.
  std::string Caption(MenuItem item) const;
  void SetTooltip(MenuItem item, const std::string& text);
  void SetChecked(MenuItem item, bool checked);
  bool Checked(MenuItem item) const;
  void SetEnabled(MenuItem item, bool enabled);
  bool Enabled(MenuItem item) const;

  // The item's widget (for tests that drive the menu).
  GtkWidget* Widget(MenuItem item) const { return items_.at(item).widget; }

 private:
  struct Item {
    GtkWidget* widget = nullptr;
    bool checkable = false;
    bool checked = false;
    bool enabled = true;
  };
  GtkWidget* AddItem(GtkWidget* parentMenu, MenuItem item, bool checkable);
  GtkWidget* AddSubmenu(GtkWidget* parentShell, MenuItem item);
  static void OnActivate(GtkMenuItem* widget, gpointer data);

  ClickHandler onClick_;
  GtkWidget* bar_ = nullptr;
  std::map<MenuItem, Item> items_;
  bool settingState_ = false;
};

}  // namespace quillfen
