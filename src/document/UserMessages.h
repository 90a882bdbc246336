#pragma once
#include <string>

// Everything the user is told in a message box goes through here: the shell shows a box, the
// command-line tool writes to standard error, tests record the texts.
class UserMessages {
public:
  virtual ~UserMessages();
  virtual void Show(const std::string &text) = 0;
};
