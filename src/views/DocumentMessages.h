#pragma once
#include "document/CPluvicamDoc.h"
#include "document/UserMessages.h"

// A dialog's message boxes through the document, as every box of the application goes.
class DocumentMessages : public UserMessages {
public:
  explicit DocumentMessages(CPluvicamDoc *doc) : doc(doc) {}
  void Show(const std::string &text) override {
    if (doc)
      doc->ShowMessage(text);
  }

private:
  CPluvicamDoc *doc;
};
