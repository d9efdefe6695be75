#pragma once

#include "messages/ListFields.h"

#include <QByteArray>
#include <QByteArrayView>

// The record in which the store keeps a message's list fields: a few bytes
// of flags, the date when there is one, and the texts, each either as
// Latin-1 (when every character fits) or as UTF-16, so that every text
// comes back exactly, unpaired surrogates included.
[[nodiscard]] QByteArray EncodeListFields(const TListFields& fields);
// False for a record that is not one of these (damaged, or of another
// format); `fields` is then undefined.
[[nodiscard]] bool DecodeListFields(QByteArrayView record, TListFields& fields);
