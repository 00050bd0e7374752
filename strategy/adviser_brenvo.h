#ifndef BRENVO_STRATEGY_ADVISER_BRENVO_H
#define BRENVO_STRATEGY_ADVISER_BRENVO_H

// Advisers turn the coach's view of the game into coach-language (CLang)
// text for the coached side. AdviserBrenvo renders a fixed opening script of
// three messages, one per call, and opens only in the stopped steps before
// kick-off. Advisers write text to a stream; they never send anything.

#include <ostream>

class CLangManager;
class WorldModelGlobal;

class SoccerAdviser {
 public:
  virtual ~SoccerAdviser() {}
  // Gives advice for the current state.
  virtual bool execute(const WorldModelGlobal& world, CLangManager& clang) = 0;
  // Whether now is a moment to advise.
  virtual bool isAdviceTiming(const WorldModelGlobal& world, const CLangManager& clang) const = 0;
  // Writes the next CLang message.
  virtual std::ostream& toCLang(std::ostream& os) = 0;
};

class AdviserBrenvo : public SoccerAdviser {
 public:
  AdviserBrenvo();

  // Answers true; the script is rendered by toCLang alone.
  bool execute(const WorldModelGlobal& world, CLangManager& clang) override;
  // True at cycle 0 from the sixth stopped step on, at most once per stopped
  // step, until the script is finished. The last time it answered true is
  // one process-wide record shared by every adviser.
  bool isAdviceTiming(const WorldModelGlobal& world, const CLangManager& clang) const override;
  // The regions, then the rules, then the switch that turns them on; nothing
  // once the script is finished.
  std::ostream& toCLang(std::ostream& os) override;

  std::ostream& defineFirstRegions(std::ostream& os);
  std::ostream& defineFirstRules(std::ostream& os);
  std::ostream& onFirstRules(std::ostream& os);
  // Half-time advice is not written yet: these write nothing but the switch.
  std::ostream& defineHalfTimeRules(std::ostream& os);
  std::ostream& onHalfTimeRules(std::ostream& os);

 private:
  bool isScriptFinished() const;

  bool first_regions_defined;
  bool first_rules_defined;
  bool first_rules_on;
};

// Writes nothing: the half-time regions are not defined yet.
std::ostream& defineHalfTimeRegions(std::ostream& os);

#endif
