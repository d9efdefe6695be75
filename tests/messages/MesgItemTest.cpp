#include "base/FastMemoryStream.h"
#include "base/ThreadManager.h"
#include "content/MimeMessage.h"
#include "messages/MesgErrors.h"
#include "messages/MesgItem.h"
#include "messages/MesgItems.h"
#include "settings/GlobStrings.h"
#include "tests/messages/MesgTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <QFile>

namespace {

std::shared_ptr<TFastMemoryStream> StreamOf(const QByteArray& bytes)
{
    auto stream = std::make_shared<TFastMemoryStream>();
    stream->WriteBuffer(bytes.constData(), bytes.size());
    stream->SetPosition(0);
    return stream;
}

class MesgItem : public TMesgTest
{
protected:
    void SetUp() override
    {
        TMesgTest::SetUp();
        Lang().LoadLanguage(QStringLiteral(VELLUMO_SOURCE_DATA_DIR) + QStringLiteral("/local/english.ini"));
        (void)TThreadManager::Instance().TakePendingErrors();
    }

    // An item of the collection, its fields derived from `source`.
    TMesgItem* Derived(const QByteArray& source)
    {
        auto item = std::make_unique<TMesgItem>(&FItems);
        item->SetSource(StreamOf(source));
        TMimeMessage message;
        item->DecodeInto(message);
        item->DeriveFields(message, DecodeListHeader(message));
        return static_cast<TMesgItem*>(FItems.Insert(FItems.Count(), std::move(item)));
    }

    TMesgItems FItems;
};

struct TAddressCase
{
    const char* Name;
    const char* From;
    const char* FromName;
    const char* FromAddress;
};

class FirstAddress : public MesgItem, public ::testing::WithParamInterface<TAddressCase>
{
};

TEST_P(FirstAddress, FillsNameAndAddress)
{
    const TMesgItem* item = Derived("From: " + QByteArray(GetParam().From) + "\r\nTo: x@y\r\n\r\n");
    EXPECT_EQ(item->FromName(), QString::fromUtf8(GetParam().FromName));
    EXPECT_EQ(item->FromAddress(), QString::fromUtf8(GetParam().FromAddress));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, FirstAddress,
    ::testing::Values(TAddressCase{"TwoAddressesShowTheFirst", "Ann <ann@a.org>, Bob <bob@b.org>", "Ann", "ann@a.org"},
                      TAddressCase{"QuotedNameWithComma", "\"Doe, Jane\" <jane@d.org>", "Doe, Jane", "jane@d.org"},
                      TAddressCase{"EncodedName", "=?utf-8?B?0JDQvdC90LA=?= <anna@r.ru>", "Анна", "anna@r.ru"},
                      TAddressCase{"NoAddressLeavesTheFieldsEmpty", "just words", "", ""}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(MesgItem, MessageIdFallsBackToThreadId)
{
    EXPECT_EQ(Derived("Message-ID:  <A@B>  \r\nThread-Id: <t>\r\n\r\n")->MessageId(), QByteArray("<a@b>"));
    EXPECT_EQ(Derived("Thread-Id: <T.1@X>\r\n\r\n")->MessageId(), QByteArray("<t.1@x>"));
    EXPECT_TRUE(Derived("Subject: none\r\n\r\n")->MessageId().isEmpty());
}

TEST_F(MesgItem, FieldsAreDerivedOnceAndAttachmentBitAdded)
{
    TMesgItem* item = Derived("Subject: first\r\nContent-Type: image/png\r\n\r\nx");
    EXPECT_TRUE(item->Parsed());
    EXPECT_TRUE(item->HasState(stAttachment));
    TMimeMessage other;
    FItems.Parse(QByteArray("Subject: second\r\n\r\n"), other);
    item->DeriveFields(other, DecodeListHeader(other));
    EXPECT_EQ(item->Subject(), QStringLiteral("first"));
    item->ResetFields();
    EXPECT_FALSE(item->Parsed());
    EXPECT_EQ(item->State(), 0);
    EXPECT_EQ(item->Priority(), 2);
}

TEST_F(MesgItem, QuotedPrintableDotLineDoesNotEndTheMessage)
{
    TMesgItem* item = Derived(ReadFixture(QStringLiteral("mime/qp-dot.eml")));
    ASSERT_TRUE(item->QuotedPrintable());
    TMimeMessage message;
    item->DecodeInto(message);
    EXPECT_EQ(message.Body(), QByteArray("before the dot\r\n.\r\nafter the dot \r\nlast line\r\n"));
}

TEST_F(MesgItem, AReadingPaneParseLeavesAttachmentsInTheSourceUntilAskedFor)
{
    TMesgItem* item = Derived(ReadFixture(QStringLiteral("view/three-attachments.eml")));
    TMimeMessage full;
    item->DecodeInto(full);
    TMimeMessage shown;
    item->DecodeInto(shown, TMimeParser::TMode::Deferred);
    ASSERT_EQ(shown.PartCount(), 4);
    auto& attachment = static_cast<TMimeAttachment&>(shown.Part(2));
    EXPECT_FALSE(attachment.IsDecoded());
    EXPECT_EQ(item->Source()->Position(), 0) << "the item's own stream is not read";
    item->SetSource(StreamOf("Subject: replaced\r\n\r\n"));
    EXPECT_EQ(attachment.DataBytes(), static_cast<TMimeAttachment&>(full.Part(2)).DataBytes())
        << "the parsed message keeps the source it was parsed from";
}

TEST_F(MesgItem, WriteSourceWithoutSourceRaises)
{
    TMesgItem item(&FItems);
    TFastMemoryStream target;
    try {
        item.WriteSource(target);
        FAIL() << "no exception";
    } catch (const EMesgError& error) {
        EXPECT_EQ(error.Message(), QStringLiteral("Error saving message: source stream not exists"));
    }
    EXPECT_THROW((void)item.Source(), EMesgError);
    EXPECT_FALSE(item.HasSource());
}

TEST_F(MesgItem, SaveToFileWritesTheSourceOrQueuesTheError)
{
    TMesgItem* item = Derived("Subject: keep me\r\n\r\nbytes\r\n");
    const QString path = TTestEnvironment::NewFolder() + QStringLiteral("/saved.eml");
    item->SaveToFile(path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("Subject: keep me\r\n\r\nbytes\r\n"));

    const QString bad = TTestEnvironment::NewFolder() + QStringLiteral("/missing/folder/x.eml");
    item->SaveToFile(bad);
    EXPECT_EQ(TThreadManager::Instance().TakePendingErrors(),
              QStringList{QStringLiteral("The file cannot be created: ") + bad + QStringLiteral(" (No such file or directory)")});

    // A failed save leaves the file it was to replace as it was.
    TMesgItem empty(&FItems);
    empty.SaveToFile(path);
    EXPECT_EQ(TThreadManager::Instance().TakePendingErrors(),
              QStringList{QStringLiteral("Error saving message: source stream not exists")});
    EXPECT_EQ(ReadTestFile(path), QByteArray("Subject: keep me\r\n\r\nbytes\r\n"));
}

TEST_F(MesgItem, CopyHasItsOwnSource)
{
    TMesgItem* original = Derived("Subject: original\r\nFrom: a@b\r\n\r\nbody\r\n");
    original->SetId(77);
    original->SetCaretPosition(5);
    TMesgItem copy(&FItems);
    copy.Assign(*original);
    EXPECT_EQ(copy.Id(), 77);
    EXPECT_EQ(copy.Subject(), QStringLiteral("original"));
    EXPECT_EQ(copy.FromAddress(), QStringLiteral("a@b"));
    EXPECT_TRUE(copy.Parsed());
    EXPECT_EQ(copy.CaretPosition(), 0);
    ASSERT_NE(copy.Source(), original->Source());
    EXPECT_EQ(copy.Source()->ToByteArray(), original->Source()->ToByteArray());
    copy.Source()->SetSize(0);
    copy.SetSource(StreamOf("other"));
    EXPECT_EQ(original->Source()->ToByteArray(), QByteArray("Subject: original\r\nFrom: a@b\r\n\r\nbody\r\n"));
}

TEST_F(MesgItem, ReplacedSourceLivesOnWithAnotherHolder)
{
    TMesgItem* item = Derived("Subject: a\r\n\r\n");
    std::shared_ptr<TFastMemoryStream> held = item->SharedSource();
    item->SetSource(StreamOf("Subject: b\r\n\r\n"));
    EXPECT_EQ(held->ToByteArray(), QByteArray("Subject: a\r\n\r\n"));
    EXPECT_EQ(item->Size(), 14);
}

TEST_F(MesgItem, CaptionIsAskedOnceOfTheTextEvent)
{
    int asked = 0;
    FItems.OnItemText = [&asked](TMesgItem& item) {
        ++asked;
        return QStringLiteral("text of ") + item.Subject();
    };
    const TMesgItem* item = Derived("Subject: s\r\n\r\n");
    EXPECT_EQ(item->Caption(), QStringLiteral("text of s"));
    EXPECT_EQ(item->Caption(), QStringLiteral("text of s"));
    EXPECT_EQ(asked, 1);
}

TEST_F(MesgItem, FileNameBaseFromSubjectAndId)
{
    TMesgItem* item = Derived("Subject: Re: Report\r\n\r\n");
    item->SetId(1234);
    EXPECT_EQ(item->FileNameBase(), QStringLiteral("re  Report1234"));
    item = Derived("Subject: ???\r\n\r\n");
    item->SetId(5);
    EXPECT_EQ(item->FileNameBase(), QStringLiteral("_5"));
}

TEST_F(MesgItem, FieldCaptionsHideIconFieldsInTheHeader)
{
    EXPECT_EQ(MesgFieldCaption(mcFromEmail, false), QStringLiteral("From address"));
    EXPECT_TRUE(MesgFieldCaption(mcAttachment, false).isEmpty());
    EXPECT_EQ(MesgFieldCaption(mcFlagged, true), QStringLiteral("Flagged"));
    EXPECT_TRUE(MesgFieldCaption(kMailColumnCount, true).isEmpty());
    EXPECT_TRUE(MesgFieldCaption(-1, true).isEmpty());
}

} // namespace
