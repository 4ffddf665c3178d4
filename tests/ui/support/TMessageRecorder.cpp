#include "support/TMessageRecorder.h"

TMessageRecorder::TMessageRecorder(TMsgResult answer) : Answer(answer) {
  SetMessageHook([this](const TMessageRequest& request) {
    Requests.append(request);
    return Answer;
  });
}

TMessageRecorder::~TMessageRecorder() { SetMessageHook({}); }

QStringList TMessageRecorder::Texts() const {
  QStringList texts;
  for (const TMessageRequest& r : Requests) texts.append(r.Caption + QStringLiteral(": ") + r.Text);
  return texts;
}
