#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TElementList;
class TCopperIslands;

// The limits of a board check, in millimetres, with the values that suit home etching.
struct TCheckRules {
  double Clearance = 0.30;  // between copper that is not connected
  double MinWidth = 0.30;   // of a wire, a text's strokes, the smaller side of an SMD pad
  double MinRing = 0.25;    // half of a pad's size minus its hole
  double MinHole = 0.50;    // a pad's hole
  // The groove a milling bit cuts between islands; 0 when the board is etched.
  double CutWidth = 0.0;
};

enum TProblemKind : uint8_t {
  pkClearance,
  pkWidth,
  pkRing,
  pkHole,
  pkDangling,
  pkDuplicate,
  pkNone,
  // A fill whose seed lies on no copper, or that has none: it joins nothing.
  pkFill,
  // Two islands nearer than the milling bit's cut width: the bit cannot pass between them and the
  // board would keep a short.
  pkIsolation
};

// One fault the check found: where (board units, y downward as on the screen), what was measured
// (board units) and what the rule asks (millimetres, as the user gave it), none for dangling ends,
// duplicates and elements that make no copper, and the list positions of the elements involved.
struct TProblem {
  TProblemKind Kind = pkClearance;
  double X = 0, Y = 0;
  double Measured = 0, Required = 0;
  std::vector<int32_t> Elements;
  // A width measured across a surface-mount pad, or a text's strokes, rather than a wire.
  bool SmdPad = false;
  bool Text = false;
};

// The whole check, problems ordered by kind, then by the elements involved.
std::vector<TProblem> CheckBoard(const TElementList& list, const TCheckRules& rules);

// The rules one by one. Clearance and dangling ends need the board's connections, which
// CheckCopper works out itself and hands back when asked.
void CheckCopper(const TElementList& list, const TCheckRules& rules, std::vector<TProblem>& out,
                 TCopperIslands* islands = nullptr);
// Widths and pads each list the wires, surface-mount pads and texts, or the through-hole pads, that
// make no copper at all.
void CheckWidths(const TElementList& list, const TCheckRules& rules, std::vector<TProblem>& out);
void CheckPads(const TElementList& list, const TCheckRules& rules, std::vector<TProblem>& out);
void CheckDuplicates(const TElementList& list, std::vector<TProblem>& out);
// Every fill's copper against the copper of every other island, exactly, one problem for a fill
// and an element; fills of different islands against each other; and every fill that joins
// nothing. The islands are CheckCopper's, and so are the dangling ends it takes back where a
// fill of the wire's island holds them.
void CheckFills(const TElementList& list, const TCheckRules& rules, const TCopperIslands& islands,
                std::vector<TProblem>& out);

// Islands nearer than the rules' cut width, measured as the clearance is; nothing when the cut
// width is 0.
void CheckIsolation(const TElementList& list, const TCheckRules& rules, std::vector<TProblem>& out);

// The kind as one word: clearance, width, ring, hole, dangling, duplicate, none, fill,
// isolation.
const char* ProblemKindName(TProblemKind kind);
// Whether the kind measures something against a limit (dangling ends, duplicates, elements
// that make no copper and fills that join nothing do not).
inline bool ProblemMeasured(TProblemKind kind) {
  return kind != pkDangling && kind != pkDuplicate && kind != pkNone && kind != pkFill;
}
// What was found, with the measured and required values.
std::string ProblemMessage(const TProblem& problem);
// The place in millimetres with three decimals: "X, Y".
std::string ProblemPlace(const TProblem& problem);
// A length in board units as millimetres with three decimals, halves of the last decimal rounded
// away from zero, exactly: a thousandth of a millimetre is 1/158.75 of a board unit.
std::string UnitsAsMm(double units);

// Limits come from the user in millimetres; a measure equal to its limit passes, whatever the
// last bit of the conversion says.
inline bool Below(long double measuredMm, double requiredMm) {
  return measuredMm < requiredMm - 1e-9;
}
