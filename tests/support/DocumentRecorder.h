#pragma once
// Records what the document tells views, panels and the user, in order.
#include "document/DocumentListener.h"
#include "document/UserMessages.h"

#include <string>
#include <utility>
#include <vector>

class DocumentRecorder : public DocumentListener, public UserMessages {
public:
  enum class Scope {
    Everything,         // every notification, messages among them as "message TEXT"
    ParticlesAndResets, // particles and resets; messages apart in `shown`
  };
  explicit DocumentRecorder(Scope scope = Scope::Everything) : scope(scope) {}

  void OnParticle() override { events.push_back("particle"); }
  void OnReset(int flag) override { events.push_back("reset " + std::to_string(flag)); }
  void OnTopViewReset() override { Note("top"); }
  void OnFilterChanged(const FilterRecord &) override { Note("filter"); }
  void OnPixelBounds(int maxPixel) override { Note("bounds " + std::to_string(maxPixel)); }
  void OnStopRun() override { Note("stop"); }
  void Show(const std::string &text) override {
    if (scope == Scope::Everything)
      events.push_back("message " + text);
    else
      shown.push_back(text);
  }

  std::vector<std::string> TakeEvents() { return std::exchange(events, {}); }
  std::vector<std::string> TakeShown() { return std::exchange(shown, {}); }

  std::vector<std::string> events;
  std::vector<std::string> shown;

private:
  void Note(std::string event) {
    if (scope == Scope::Everything)
      events.push_back(std::move(event));
  }

  Scope scope;
};
