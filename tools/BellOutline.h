// The bell's outline: the black spans of selected rows of the 600 x 600 bell
// picture (x ranges inclusive, y from the top). The generator draws a smooth
// silhouette through exactly these spans, and a test checks the picture the
// program carries against them.
#pragma once

#include <array>
#include <utility>
#include <vector>

namespace bellcut::bell {

constexpr int kSize = 600;

struct OutlineRow {
  int Y;
  std::vector<std::pair<int, int>> Spans;
};

inline const std::vector<OutlineRow>& Outline() {
  static const std::vector<OutlineRow> rows = {
      {3, {{86, 103}}},
      {5, {{79, 110}}},
      {10, {{70, 120}}},
      {15, {{64, 81}, {106, 126}}},
      {20, {{59, 71}, {116, 131}}},
      {30, {{55, 67}, {123, 134}}},
      {40, {{54, 67}, {93, 102}, {124, 134}}},
      {45, {{55, 68}, {90, 134}}},
      {50, {{57, 71}, {90, 136}}},
      {55, {{62, 83}, {86, 147}}},
      {60, {{65, 169}}},
      {70, {{77, 212}}},
      {80, {{73, 249}}},
      {100, {{57, 290}}},
      {120, {{40, 318}}},
      {140, {{26, 340}}},
      {160, {{14, 358}}},
      {200, {{3, 388}}},
      {240, {{3, 415}}},
      {280, {{7, 443}}},
      {320, {{19, 482}}},
      {360, {{32, 535}}},
      {400, {{44, 585}}},
      {414, {{47, 596}}},
      {440, {{50, 578}}},
      {480, {{50, 507}}},
      {520, {{46, 407}}},
      {560, {{44, 286}}},
      {580, {{44, 204}}},
      {590, {{47, 154}}},
      {594, {{55, 130}}},
      {596, {{62, 111}}},
  };
  return rows;
}

}  // namespace bellcut::bell
