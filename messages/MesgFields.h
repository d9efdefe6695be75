#pragma once

#include "content/CharsetNames.h"

#include <QString>

class TMimeMessage;

// The fields of a message that the lists show and sort by, in column order.
enum TMailColumnType : int {
    mcSubject,
    mcFromRealName,
    mcFromEmail,
    mcToRealName,
    mcToEmail,
    mcDateSent,
    mcDateReceived,
    mcSize,
    mcAttachment,
    mcPriority,
    mcFlagged,
};
constexpr int kMailColumnCount = mcFlagged + 1;

// State bits of a message item.
enum TMesgState : unsigned char {
    stUnread = 0x01,
    stAttachment = 0x02,
    stReplied = 0x04,
    stFlagged = 0x08,
    stUnsent = 0x10,
};
constexpr int kMesgStateCount = 5;

// The key of a field in the language section "MesgFields"; empty outside the set.
[[nodiscard]] QString MesgFieldKey(int field);
// The caption of a field from the language table. The icon fields
// (attachment, priority, flagged) have one only when `withIcons` is set
// (the column chooser); the list header shows no text over them.
[[nodiscard]] QString MesgFieldCaption(int field, bool withIcons);

// The header fields a list needs, decoded to text.
struct TListHeader
{
    QString Subject;
    QString From;
    QString To;
};

// The charset in which a message's header fields are read when no view
// chose one: that of its text/html part, else of its text/plain part, else
// the message's own; the default charset when none is named or known.
[[nodiscard]] CharsetId HeaderCharsetOf(const TMimeMessage& message);
// Subject, From and To decoded in that charset.
[[nodiscard]] TListHeader DecodeListHeader(const TMimeMessage& message);
