#include "TBoardCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <tuple>

#include "TCopper.h"
#include "TCopperIslands.h"

std::vector<TProblem> CheckBoard(const TElementList& list, const TCheckRules& rules) {
  std::vector<TProblem> out;
  TCopperIslands islands;
  CheckCopper(list, rules, out, &islands);
  CheckFills(list, rules, islands, out);
  CheckWidths(list, rules, out);
  CheckPads(list, rules, out);
  CheckDuplicates(list, out);
  CheckIsolation(list, rules, out);
  std::stable_sort(out.begin(), out.end(), [](const TProblem& a, const TProblem& b) {
    return std::tie(a.Kind, a.Elements) < std::tie(b.Kind, b.Elements);
  });
  return out;
}

void CheckIsolation(const TElementList& list, const TCheckRules& rules,
                    std::vector<TProblem>& out) {
  if (!(std::isfinite(rules.CutWidth) && rules.CutWidth > 0)) return;
  // Islands nearer than the cut width are found as islands nearer than a clearance are, fills
  // included, each pair once.
  TCheckRules cut;
  cut.Clearance = rules.CutWidth;
  std::vector<TProblem> near;
  TCopperIslands islands;
  CheckCopper(list, cut, near, &islands);
  CheckFills(list, cut, islands, near);
  for (TProblem& p : near)
    if (p.Kind == pkClearance) {
      p.Kind = pkIsolation;
      out.push_back(std::move(p));
    }
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
    case pkNone:
      return "none";
    case pkFill:
      return "fill";
    case pkIsolation:
      return "isolation";
  }
  return "";
}

namespace {

std::string Thousandths(long double t) {
  const long long v = std::llround(t);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s%lld.%03lld", v < 0 ? "-" : "", std::llabs(v) / 1000,
                std::llabs(v) % 1000);
  return buf;
}

std::string Mm(double mm) { return Thousandths(static_cast<long double>(mm) * 1000); }

}  // namespace

std::string ProblemMessage(const TProblem& p) {
  const std::string measured = UnitsAsMm(p.Measured);
  const std::string limit = ", " + Mm(p.Required) + " mm required";
  switch (p.Kind) {
    case pkClearance:
      return "copper " + measured + " mm apart" + limit;
    case pkWidth:
      return (p.SmdPad ? "SMD pad "
              : p.Text ? "text stroke "
                       : "wire ") +
             measured + " mm wide" + limit;
    case pkRing:
      return "annular ring " + measured + " mm" + limit;
    case pkHole:
      return "hole " + measured + " mm" + limit;
    case pkDangling:
      return "wire end touches no other copper";
    case pkDuplicate:
      return "same element twice at this place";
    case pkNone:
      return "makes no copper";
    case pkFill:
      return "fill joins nothing";
    case pkIsolation:
      return "islands " + measured + " mm apart, the bit cannot pass" + limit;
  }
  return "";
}

std::string ProblemPlace(const TProblem& p) { return UnitsAsMm(p.X) + ", " + UnitsAsMm(p.Y); }

// 158.75 is exact in binary, so a place or size on the half-unit grid converts without error.
std::string UnitsAsMm(double units) {
  return Thousandths(static_cast<long double>(units) * 158.75L);
}
