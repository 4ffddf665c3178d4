#pragma once
// Answers every message box while it lives and keeps what was asked, in order.

#include <QList>
#include <QStringList>

#include "app/UiPrompts.h"

class TMessageRecorder {
 public:
  explicit TMessageRecorder(TMsgResult answer = TMsgResult::Ok);
  ~TMessageRecorder();
  TMessageRecorder(const TMessageRecorder&) = delete;
  TMessageRecorder& operator=(const TMessageRecorder&) = delete;

  // "Caption: Text" of each box.
  QStringList Texts() const;
  void Clear() { Requests.clear(); }

  QList<TMessageRequest> Requests;
  TMsgResult Answer;
};
