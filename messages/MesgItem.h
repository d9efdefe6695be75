#pragma once

#include "base/VirtItems.h"
#include "content/MesgUtils.h"
#include "content/MimeParser.h"
#include "messages/ListFields.h"
#include "messages/MesgFields.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

class TFastMemoryStream;
class TSafeFileStream;
class TMesgItems;
class TMimeMessage;
class TStream;

// One message of a list: the list fields derived from its header, and its
// MIME source while the item needs it. A store item lets its source go once
// its fields are derived and reads it from the store when asked again: a
// list holds what it shows, not the messages themselves. The id is the
// store message id for store items.
class TMesgItem : public TVirtItem
{
public:
    explicit TMesgItem(TSyncItems* owner);
    ~TMesgItem() override;

    // Copies the id and, from an item of the same class, every field but
    // the caret position; a source is copied into a stream of its own.
    void Assign(const TSyncItem& source) override;
    // The stored caption; an empty one is asked of the collection's text
    // event and kept.
    [[nodiscard]] QString Caption() const override;

    // The base of the item's file name: the subject with "re:" written
    // "re ", cleaned for a file name and shortened to leave room for a
    // number and an extension within 255 bytes, followed by the id.
    [[nodiscard]] virtual QString FileNameBase() const;
    // Empties the list fields (state bits, dates, size and the parsed mark included).
    virtual void ResetFields();
    // Clears the message and parses the source into it, with the parser of
    // the calling thread. A quoted-printable message is first freed of
    // encoded carriage returns ("=0D" before a line end) and of lines that
    // hold a single ".", which become "=2E". With `headerOnly` the
    // structure is parsed but attachments are not decoded (the list fields
    // need no more).
    void DecodeInto(TMimeMessage& message, bool headerOnly = false);
    // The same in any parser mode; a reading pane uses Deferred, so that
    // the message's attachments share the source and decode when opened.
    virtual void DecodeInto(TMimeMessage& message, TMimeParser::TMode mode);
    // Copies the held source into the target; EMesgError without a source.
    virtual void WriteSource(TStream& target);
    // Creates (or replaces) the file with the source, whole or not at all;
    // failures go to the background error queue with the file name.
    virtual void SaveToFile(const QString& fileName);
    // Writes the source into the file and commits it; raises its failures.
    void SaveToStream(TSafeFileStream& file);
    // Parses the stream and derives the fields from its header.
    virtual void ReadFromStream(TStream& stream);

    // The source: the one the item holds, else a stream sized for the item,
    // filled by WriteSource and rewound, which the caller holds for as long
    // as it uses it (a reading pane, a drag, a copy); the item does not keep it.
    [[nodiscard]] std::shared_ptr<TFastMemoryStream> Source();
    [[nodiscard]] bool HasSource() const { return FSource != nullptr; }
    // Replaces the source. The old one is released: another holder (the
    // clipboard's list of outgoing streams) keeps it alive.
    void SetSource(std::shared_ptr<TFastMemoryStream> source);
    // The source the item holds; none when it holds none.
    [[nodiscard]] const std::shared_ptr<TFastMemoryStream>& SharedSource() const { return FSource; }
    // Lets the held source go (under the collection's write lock when the
    // item is listed); holders elsewhere keep theirs.
    void DropSource();

    // Fills the list fields from a parsed message and its decoded header,
    // once (a parsed item is left alone), under the collection's write lock
    // when the item is listed.
    void DeriveFields(const TMimeMessage& message, const TListHeader& header);
    // The same from fields derived before (or kept in the store). Without a
    // From or To address the item keeps the names it had; an attachment
    // sets the attachment bit and never clears it.
    void SetListFields(const TListFields& fields);

    [[nodiscard]] const QString& Subject() const { return FFields.Subject; }
    void SetSubject(const QString& subject);
    // The subject's sort key, kept with the subject; none before a subject is set.
    [[nodiscard]] const std::optional<TSubjectKey>& SubjectSortKey() const { return FFields.SubjectKey; }
    [[nodiscard]] const QString& FromName() const { return FFields.FromName; }
    [[nodiscard]] const QString& FromAddress() const { return FFields.FromAddress; }
    [[nodiscard]] const QString& ToName() const { return FFields.ToName; }
    [[nodiscard]] const QString& ToAddress() const { return FFields.ToAddress; }
    // Lower-cased Message-ID (else Thread-Id), trimmed.
    [[nodiscard]] const QByteArray& MessageId() const { return FFields.MessageId; }
    [[nodiscard]] qint64 Size() const { return FFields.Size; }
    void SetSize(qint64 size) { FFields.Size = size; }
    // Days since 1899-12-30, local time; 0 for none.
    [[nodiscard]] double DateSent() const { return FFields.DateSent; }
    [[nodiscard]] double DateReceived() const { return FFields.DateReceived; }
    void SetDateReceived(double date) { FFields.DateReceived = date; }
    [[nodiscard]] unsigned char State() const { return FFields.State; }
    void SetState(unsigned char state) { FFields.State = state; }
    [[nodiscard]] bool HasState(TMesgState bit) const { return (FFields.State & bit) != 0; }
    void SetStateBit(TMesgState bit, bool on);
    // 0 highest ... 4 lowest.
    [[nodiscard]] int Priority() const { return FFields.Priority; }
    [[nodiscard]] bool QuotedPrintable() const { return FFields.QuotedPrintable; }
    [[nodiscard]] bool Parsed() const { return FFields.Parsed; }
    // Lets the next DeriveFields fill the fields again (after the source changed).
    void ClearParsed() { FFields.Parsed = false; }
    [[nodiscard]] int CaretPosition() const { return FCaretPosition; }
    void SetCaretPosition(int position) { FCaretPosition = position; }

protected:
    // The collection, when the owner is a message collection; none otherwise.
    [[nodiscard]] TMesgItems* Items() const;

private:
    // The list fields, copied and reset as one.
    struct TFields
    {
        QString Subject;
        std::optional<TSubjectKey> SubjectKey;
        QString FromName;
        QString ToName;
        QString FromAddress;
        QString ToAddress;
        QByteArray MessageId;
        qint64 Size = 0;
        double DateSent = 0;
        double DateReceived = 0;
        unsigned char State = 0;
        unsigned char Priority = 2;
        bool QuotedPrintable = false;
        bool Parsed = false;
    };

    std::shared_ptr<TFastMemoryStream> FSource;
    TFields FFields;
    int FCaretPosition = 0;   // kept by the browser window; neither copied nor reset
};
