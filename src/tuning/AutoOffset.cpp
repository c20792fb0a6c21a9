#include "tuning/AutoOffset.h"

#include "base/Messenger.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "drive/DriveMap.h"
#include "link/DriveAccess.h"
#include "link/DriveOperations.h"
#include "params/DriveConnection.h"

namespace {

constexpr int kOffsetCaption = 722;
constexpr int kOffsetQuestion = 723;
constexpr int kOffsetDone = 724;

} // namespace

void RunAutoOffset(DriveConnection& connection, Messenger& messenger) {
    Message question;
    question.text = StringText(kOffsetQuestion);
    question.caption = StringText(kOffsetCaption);
    question.icon = MessageIcon::Question;
    question.buttons = MessageButtons::YesNo;
    if (messenger.Show(question) != MessageAnswer::Yes) {
        return;
    }
    bool written = false;
    if (connection.LinkUp() && !connection.Operations().Running()) {
        connection.Operations().RunExclusive([&] {
            written = connection.Access().WriteDriveWord(DriveMap::kAutoOffset, 1, false);
        });
    }
    Message outcome;
    outcome.caption = question.caption;
    outcome.text = StringText(written ? kOffsetDone : StringId::kLinkError);
    outcome.icon = written ? MessageIcon::Information : MessageIcon::Error;
    messenger.Show(outcome);
}
