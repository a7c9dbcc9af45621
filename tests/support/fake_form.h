// The main window as the handlers see it, stood in for by the controls'
// state, with the window's event rules: a text set to what it already is
// raises nothing; a changed entry text runs the change handler once.
#pragma once

#include <map>
#include <string>

#include "ui/layout.h"
#include "ui/main_form.h"

namespace testing_support {

class FakeForm : public ui::FormView {
 public:
  FakeForm() {
    for (ui::ControlId id : {ui::idPnlFileSystem, ui::idPnlVLBL, ui::idPnlVSN})
      captions[id] = ui::kInitialPanelCaption;
  }
  std::string Caption(ui::ControlId id) const override { return captions.at(id); }
  void SetCaption(ui::ControlId id, const std::string& text) override { captions[id] = text; }
  std::string EntryText() const override { return entry; }
  void SetEntryText(const std::string& text) override {
    if (text == entry) return;
    entry = text;
    handlers.edtNVSNChange();
  }
  void SetOKEnabled(bool enabled) override { okEnabled = enabled; }
  char SelectedDrive() const override { return selected; }
  std::string SelectorText() const override { return selectorText; }
  void FocusSelector() override { ++selectorFocused; }
  void RepeatClose() override { ++closesRepeated; }

  // What the window's destruction leaves: controls that read empty.
  void Destroy() {
    entry.clear();
    for (auto& caption : captions) caption.second.clear();
  }

  // What typing into the entry does.
  void Type(const std::string& text) { SetEntryText(text); }

  std::map<ui::ControlId, std::string> captions;
  std::string entry;
  bool okEnabled = false;
  char selected = 'c';
  std::string selectorText = "c: [data]";
  int selectorFocused = 0;
  int closesRepeated = 0;
  ui::MainFormHandlers handlers{*this};
};

}  // namespace testing_support
