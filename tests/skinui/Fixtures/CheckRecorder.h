#pragma once
// Records the framework's failed debug checks while it lives, instead of tracing them.

#include <stdexcept>
#include <string>
#include <vector>

#include "Utils/UIDebug.h"

// Checks exist only in debug builds; tests that expect a report skip elsewhere.
#ifdef _DEBUG
#define SKIP_WITHOUT_DEBUG_CHECKS() ((void)0)
#else
#define SKIP_WITHOUT_DEBUG_CHECKS() GTEST_SKIP() << "debug checks are compiled out of this build"
#endif

namespace skin_testing {

struct FailedCheck {
  std::string unit;
  std::string condition;
};

// Thrown by a recorder made with StopAtCheck::Yes, for checks that guard an access the code
// would otherwise make (reading an unreadable text).
struct CheckStopped : std::runtime_error {
  CheckStopped() : std::runtime_error("debug check failed") {}
};

enum class StopAtCheck { No, Yes };

class CheckRecorder {
 public:
  explicit CheckRecorder(StopAtCheck stop = StopAtCheck::No) {
    Checks().clear();
    Stop() = stop == StopAtCheck::Yes;
    m_pfnPrevious = SkinUI::SetCheckReportProc(&Record);
  }
  ~CheckRecorder() { SkinUI::SetCheckReportProc(m_pfnPrevious); }
  CheckRecorder(const CheckRecorder&) = delete;
  CheckRecorder& operator=(const CheckRecorder&) = delete;

  const std::vector<FailedCheck>& checks() const { return Checks(); }
  std::vector<std::string> conditions() const {
    std::vector<std::string> result;
    for (const FailedCheck& check : Checks()) result.push_back(check.condition);
    return result;
  }

 private:
  static std::vector<FailedCheck>& Checks() {
    static std::vector<FailedCheck> checks;
    return checks;
  }
  static bool& Stop() {
    static bool stop = false;
    return stop;
  }
  static void Record(const char* unit, int, const char* condition) {
    Checks().push_back(FailedCheck{unit, condition});
    if (Stop()) throw CheckStopped();
  }

  SkinUI::UICheckReportProc m_pfnPrevious;
};

}  // namespace skin_testing
