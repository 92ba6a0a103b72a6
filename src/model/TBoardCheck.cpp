#include "TBoardCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <tuple>

#include "TCopper.h"

std::vector<TProblem> CheckBoard(const TElementList& list, const TCheckRules& rules) {
  std::vector<TProblem> out;
  CheckCopper(list, rules, out);
  CheckWidths(list, rules, out);
  CheckPads(list, rules, out);
  CheckDuplicates(list, out);
  std::stable_sort(out.begin(), out.end(), [](const TProblem& a, const TProblem& b) {
    return std::tie(a.Kind, a.Elements) < std::tie(b.Kind, b.Elements);
  });
  return out;
}

const char* ProblemKindName(TProblemKind kind) {
  switch (kind) {
    case pkClearance:
      return "clearance";
    case pkWidth:
      return "width";
    case pkRing:
      return "ring";
    case pkHole:
      return "hole";
    case pkDangling:
      return "dangling";
    case pkDuplicate:
      return "duplicate";
  }
  return "";
}

namespace {

// Millimetres with three decimals, never "-0.000".
std::string Mm(double v) {
  if (std::fabs(v) < 0.0005) v = 0;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.3f", v);
  return buf;
}

}  // namespace

std::string ProblemMessage(const TProblem& p) {
  const std::string limit = ", " + Mm(p.Required) + " mm required";
  switch (p.Kind) {
    case pkClearance:
      return "copper " + Mm(p.Measured) + " mm apart" + limit;
    case pkWidth:
      return "wire " + Mm(p.Measured) + " mm wide" + limit;
    case pkRing:
      return "annular ring " + Mm(p.Measured) + " mm" + limit;
    case pkHole:
      return "hole " + Mm(p.Measured) + " mm" + limit;
    case pkDangling:
      return "wire end touches no other copper";
    case pkDuplicate:
      return "same element twice at this place";
  }
  return "";
}

std::string ProblemPlace(const TProblem& p) {
  return Mm(p.X * MmPerUnit) + ", " + Mm(p.Y * MmPerUnit);
}
