// A main window without a window: it keeps what the logic sets, answers
// message boxes from a script and records what was asked.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "shell/MainView.h"

namespace test {

using shell::Answer;
using shell::Box;
using shell::Ctl;
using shell::Window;

struct ShownBox {
    std::string text;
    std::string title;
    Box kind;
    bool operator==(const ShownBox&) const = default;
};

class FakeMainView : public shell::MainView {
public:
    void SetText(Ctl ctl, const std::string& text) override {
        texts[ctl] = text;
        if (ctl == Ctl::stxCmd || ctl == Ctl::stxAdres) labelTexts.push_back(text);
    }
    std::string Text(Ctl ctl) const override { return Get(texts, ctl, std::string()); }
    void SetVisible(Ctl ctl, bool on) override { visible[ctl] = on; }
    void SetEnabled(Ctl ctl, bool on) override { enabled[ctl] = on; }
    void SetItemIndex(Ctl list, int index) override { items[list] = index; }
    int ItemIndex(Ctl list) const override { return Get(items, list, -1); }
    void SetChecked(Ctl ctl, bool on) override { checked[ctl] = on; }
    bool Checked(Ctl ctl) const override { return Get(checked, ctl, false); }
    void SetStatusPanel(int panel, const std::string& text) override { panels[panel] = text; }
    void SetCell(int col, int row, const std::string& text) override {
        cells[{col, row}] = text;
        ++cellWrites;
    }
    void SetColumn0Width(int pixels) override { column0Width = pixels; }
    int DefaultColumnWidth() const override { return 18; }
    int GridTopRow() const override { return topRow; }
    void SetBusyCursor(bool on) override { busy = on; }
    Answer MessageBox(const std::string& text, const std::string& title, Box kind) override {
        boxes.push_back({text, title, kind});
        if (answers.empty()) return kind == Box::Question || kind == Box::WarningYesNo ? Answer::No : Answer::Ok;
        Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void ShowModal(Window window) override {
        shown.push_back(window);
        if (onModal) onModal(window);
    }
    void CloseMain() override { closed = true; }
    std::optional<std::string> OpenFileDialog(const std::string& folder) override {
        dialogFolders.push_back(folder);
        return chosenFile;
    }
    std::optional<std::string> SaveFileDialog(const std::string& folder) override {
        dialogFolders.push_back(folder);
        return chosenFile;
    }

    std::string Cell(int col, int row) const { return Get(cells, std::pair{col, row}, std::string()); }
    bool Enabled(Ctl ctl) const { return Get(enabled, ctl, true); }
    bool Visible(Ctl ctl) const { return Get(visible, ctl, true); }

    std::map<Ctl, std::string> texts;
    std::vector<std::string> labelTexts;  // every text the two progress labels were given, in order
    std::map<Ctl, bool> visible, enabled, checked;
    std::map<Ctl, int> items;
    std::map<int, std::string> panels;
    std::map<std::pair<int, int>, std::string> cells;
    int cellWrites = 0;
    int column0Width = 0;
    int topRow = 1;
    bool busy = false;
    bool closed = false;
    std::deque<Answer> answers;  // scripted replies, in order
    std::vector<ShownBox> boxes;
    std::vector<Window> shown;
    std::function<void(Window)> onModal;   // what the user does in a modal window
    std::optional<std::string> chosenFile;  // the file dialogs' answer; none is Cancel
    std::vector<std::string> dialogFolders;

private:
    template <class Map, class Key, class Value>
    static Value Get(const Map& map, const Key& key, Value fallback) {
        auto it = map.find(key);
        return it == map.end() ? fallback : it->second;
    }
};

}  // namespace test
