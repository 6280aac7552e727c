#pragma once

#include "config/reporter.h"

namespace zorvane {

// Reports through modal message boxes over the active window. Every text also goes to stderr, so
// that a failure leaves a trace even where nobody sees the screen.
class MessageBoxReporter : public Reporter {
 public:
  void Error(const QString& text) override;
  void Warning(const QString& text) override;
};

}  // namespace zorvane
