#include "coach/coach_feature.h"

// A feature reacts only to what it overrides; everything else passes by.

CoachFeature::~CoachFeature() {}

void CoachFeature::initAccepted(SoccerTypes::Side) {}
void CoachFeature::serverParams(const ServerParam&) {}
void CoachFeature::playerParams(const PlayerParam&) {}
void CoachFeature::playerType(const PlayerType&) {}
void CoachFeature::view(const CoachVisualSensor&, const GameTime&) {}
void CoachFeature::playMode(const Referee&, const GameTime&) {}
void CoachFeature::typeChange(const TypeChangeNotice&, const GameTime&) {}

bool CoachFeature::answer(const std::string&, const char*) {
  return false;
}

void CoachFeature::batchEnd(const CoachKnowledge&, FeatureOutbox*) {}
void CoachFeature::tick(const CoachKnowledge&, FeatureOutbox*) {}
