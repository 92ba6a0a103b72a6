#include "TMillProcess.h"

#include <cmath>

double TMillProcess::CutWidth() const {
  if (Bit == mbFlat) return BitDiameter;
  constexpr double pi = 3.14159265358979323846;
  return VTip + 2 * CutDepth * std::tan(VAngle / 2 * pi / 180);
}

namespace {

bool Within(double v, double low, double high) { return v >= low && v <= high; }

}  // namespace

bool TMillProcess::Valid(std::string* why) const {
  const char* wrong = nullptr;
  if (Making != bmEtch && Making != bmMill)
    wrong = "the way of making the board is unknown";
  else if (!Within(EtchCompensation, 0, 0.2))
    wrong = "the etch compensation must lie between 0 and 0.20 mm";
  else if (Bit != mbFlat && Bit != mbVee)
    wrong = "the bit is neither flat nor a V-bit";
  else if (!Within(BitDiameter, 0.01, 10))
    wrong = "the bit's diameter must lie between 0.01 and 10 mm";
  else if (!Within(VAngle, 5, 150))
    wrong = "the V-bit's angle must lie between 5 and 150 degrees";
  else if (!Within(VTip, 0, 5))
    wrong = "the V-bit's tip must lie between 0 and 5 mm";
  else if (!Within(CutDepth, 0.001, 5))
    wrong = "the cut depth must lie between 0.001 and 5 mm";
  else if (!(CutWidth() >= 0.01 && CutWidth() <= 10))
    wrong = "the bit cuts a groove narrower than 0.01 mm or wider than 10 mm";
  else if (Passes < 1 || Passes > 4)
    wrong = "the isolation passes must number 1 to 4";
  else if (!Within(Overlap, 0, 90))
    wrong = "the overlap must lie between 0 and 90 %";
  else if (!Within(Feed, 1, 100000))
    wrong = "the feed must lie between 1 and 100000 mm/min";
  else if (!Within(Plunge, 1, 100000))
    wrong = "the plunge rate must lie between 1 and 100000 mm/min";
  else if (Spindle < 1 || Spindle > 100000)
    wrong = "the spindle speed must lie between 1 and 100000 rpm";
  else if (!Within(SafeHeight, 0.1, 100))
    wrong = "the safe height must lie between 0.1 and 100 mm";
  else if (!Within(TravelHeight, 0.1, 100) || TravelHeight > SafeHeight)
    wrong = "the travel height must lie between 0.1 mm and the safe height";
  else if (!Within(DrillDepth, 0.01, 20))
    wrong = "the drill depth must lie between 0.01 and 20 mm";
  else if (!Within(OutlineBit, 0.1, 10))
    wrong = "the outline bit's diameter must lie between 0.1 and 10 mm";
  else if (!Within(BoardThickness, 0.1, 10))
    wrong = "the board thickness must lie between 0.1 and 10 mm";
  else if (!Within(DepthPerPass, 0.01, 10))
    wrong = "the depth per pass must lie between 0.01 and 10 mm";
  else if (Tabs < 0 || Tabs > 32)
    wrong = "the tabs must number 0 to 32";
  else if (!Within(TabWidth, 0, 50))
    wrong = "the tab width must lie between 0 and 50 mm";
  if (wrong && why) *why = wrong;
  return wrong == nullptr;
}

bool operator==(const TMillProcess& a, const TMillProcess& b) {
  return a.Making == b.Making && a.EtchCompensation == b.EtchCompensation && a.Bit == b.Bit &&
         a.BitDiameter == b.BitDiameter && a.VAngle == b.VAngle && a.VTip == b.VTip &&
         a.CutDepth == b.CutDepth && a.Passes == b.Passes && a.Overlap == b.Overlap &&
         a.Feed == b.Feed && a.Plunge == b.Plunge && a.Spindle == b.Spindle &&
         a.SafeHeight == b.SafeHeight && a.TravelHeight == b.TravelHeight &&
         a.DrillDepth == b.DrillDepth && a.OutlineBit == b.OutlineBit &&
         a.BoardThickness == b.BoardThickness && a.DepthPerPass == b.DepthPerPass &&
         a.Tabs == b.Tabs && a.TabWidth == b.TabWidth && a.Mirror == b.Mirror;
}
