#include "font/outline.h"

#include <cstddef>
#include <map>
#include <set>
#include <utility>


namespace {

using Vertex = std::pair<int, int>;  // grid corner (x, y), y up
using Edge = std::pair<Vertex, Vertex>;

// Every set pixel contributes its four sides walked clockwise; a side shared by two set
// pixels appears once in each direction and cancels, leaving only the boundary.
std::set<Edge> BoundaryEdges(const PixelRows& rows, int baseline_row) {
  std::set<Edge> edges;
  auto add = [&](Vertex a, Vertex b) {
    auto rev = edges.find({b, a});
    if (rev != edges.end()) edges.erase(rev);
    else edges.insert({a, b});
  };
  for (int row = 0; row < int(rows.size()); row++)
    for (int col = 0; col < int(rows[size_t(row)].size()); col++) {
      if (rows[size_t(row)][size_t(col)] != 'X') continue;
      int x = col, y = baseline_row - row;  // y of the pixel's bottom edge
      add({x, y}, {x, y + 1});
      add({x, y + 1}, {x + 1, y + 1});
      add({x + 1, y + 1}, {x + 1, y});
      add({x + 1, y}, {x, y});
    }
  return edges;
}

int Cross(Vertex a, Vertex b, Vertex c) {
  return (b.first - a.first) * (c.second - b.second) - (b.second - a.second) * (c.first - b.first);
}

// Where two pixels touch only at a corner, two edges leave the same vertex; taking the
// sharpest right turn keeps each contour simple.
Edge PickNext(std::multimap<Vertex, Vertex>& out, Vertex from, Vertex at) {
  auto range = out.equal_range(at);
  auto best = range.first;
  for (auto it = range.first; it != range.second; ++it)
    if (Cross(from, at, it->second) < Cross(from, at, best->second)) best = it;
  Edge e{at, best->second};
  out.erase(best);
  return e;
}

Contour Simplify(const std::vector<Vertex>& loop, int unit) {
  Contour c;
  std::size_t n = loop.size();
  for (std::size_t i = 0; i < n; i++) {
    Vertex p = loop[(i + n - 1) % n], v = loop[i], q = loop[(i + 1) % n];
    if (Cross(p, v, q) != 0) c.push_back({v.first * unit, v.second * unit});
  }
  return c;
}

}  // namespace

std::vector<Contour> TraceGlyph(const PixelRows& rows, int unit, int baseline_row) {
  std::set<Edge> edges = BoundaryEdges(rows, baseline_row);
  std::multimap<Vertex, Vertex> out;
  for (const Edge& e : edges) out.insert({e.first, e.second});
  std::vector<Contour> contours;
  while (!out.empty()) {
    auto first = out.begin();
    Vertex start = first->first, prev = start, at = first->second;
    out.erase(first);
    std::vector<Vertex> loop{start};
    while (at != start) {
      loop.push_back(at);
      Edge e = PickNext(out, prev, at);
      prev = at;
      at = e.second;
    }
    contours.push_back(Simplify(loop, unit));
  }
  return contours;
}
