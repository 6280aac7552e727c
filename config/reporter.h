#pragma once

#include <QString>

namespace zorvane {

// Where the dialog sends what the user must be told. The program shows message boxes; the tests
// keep the texts instead of blocking on a modal box.
class Reporter {
 public:
  virtual ~Reporter() = default;

  // A failure that ends the program.
  virtual void Error(const QString& text) = 0;

  // A failure the user can put right; the program goes on.
  virtual void Warning(const QString& text) = 0;
};

}  // namespace zorvane
