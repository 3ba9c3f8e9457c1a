#pragma once

#include <map>
#include <string>
#include <vector>

#include "workflow/controls.h"

namespace hc {

// The window's controls as plain data, so the handlers can run without a window.
class FakeControls final : public Controls {
 public:
  struct List {
    int columns = 0;
    std::vector<std::vector<std::string>> rows;
    std::vector<int> images;  // per row, -1 for none
    int selected = -1;
  };

  FakeControls() {
    lists_[ListView::SongList].columns = 5;
    lists_[ListView::CommentList].columns = 6;
  }

  List& list(ListView which) { return lists_[which]; }
  std::string text(TextControl which) const {
    const auto found = texts_.find(which);
    return found == texts_.end() ? std::string() : found->second;
  }
  const Bytes& picture() const { return picture_; }
  int picture_calls() const { return picture_calls_; }
  // Each set_busy call, in order.
  const std::vector<bool>& busy_calls() const { return busy_calls_; }

  int insert_row(ListView which) override {
    List& l = lists_[which];
    l.rows.emplace_back(static_cast<std::size_t>(l.columns));
    l.images.push_back(-1);
    return static_cast<int>(l.rows.size()) - 1;
  }
  void set_cell_text(ListView which, int row, int column, const std::string& text) override {
    List& l = lists_[which];
    if (valid(l, row, column)) {
      l.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = text;
    }
  }
  std::string cell_text(ListView which, int row, int column) const override {
    const List& l = lists_.at(which);
    return valid(l, row, column)
               ? l.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]
               : std::string();
  }
  int selected_row(ListView which) const override { return lists_.at(which).selected; }
  void delete_all_rows(ListView which) override {
    List& l = lists_[which];
    l.rows.clear();
    l.images.clear();
    l.selected = -1;
  }
  int row_count(ListView which) const override {
    return static_cast<int>(lists_.at(which).rows.size());
  }
  void set_row_image(ListView which, int row, int image_index) override {
    List& l = lists_[which];
    if (valid(l, row, 0)) {
      l.images[static_cast<std::size_t>(row)] = image_index;
    }
  }
  void set_text(TextControl which, const std::string& text) override { texts_[which] = text; }
  void set_picture(const Bytes& bytes) override {
    picture_ = bytes;
    ++picture_calls_;
  }
  void set_busy(bool busy) override { busy_calls_.push_back(busy); }

 private:
  static bool valid(const List& l, int row, int column) {
    return row >= 0 && row < static_cast<int>(l.rows.size()) && column >= 0 && column < l.columns;
  }

  std::map<ListView, List> lists_;
  std::map<TextControl, std::string> texts_;
  Bytes picture_;
  int picture_calls_ = 0;
  std::vector<bool> busy_calls_;
};

}  // namespace hc
