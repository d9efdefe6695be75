#include "settings/IniErrors.h"
#include "settings/IniFiler.h"
#include "settings/IniPersistent.h"
#include "settings/SettingsStore.h"
#include "tests/settings/SettingsTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <QLocale>
#include <QStringList>

#include <gtest/gtest.h>

// Classes that publish one property of every kind the filer handles.
class TFiledOptions : public TIniPersistent
{
    Q_OBJECT
public:
    enum TMode { mdFirst, mdSecond, mdThird };
    Q_ENUM(TMode)
    enum TPart { ptHead = 1, ptBody = 2, ptTail = 4 };
    Q_DECLARE_FLAGS(TParts, TPart)
    Q_FLAG(TParts)

    Q_PROPERTY(bool Flag MEMBER Flag)
    Q_PROPERTY(TMode Mode MEMBER Mode)
    Q_PROPERTY(int Level MEMBER Level)
    Q_PROPERTY(uint FolderId MEMBER FolderId)
    Q_PROPERTY(QString Text MEMBER Text)
    Q_PROPERTY(QByteArray Bytes MEMBER Bytes)
    Q_PROPERTY(double Ratio MEMBER Ratio)
    Q_PROPERTY(TParts Parts READ GetParts WRITE SetParts)
    Q_PROPERTY(char Letter MEMBER Letter)
    Q_PROPERTY(QChar Wide MEMBER Wide)
    Q_PROPERTY(qint64 Big MEMBER Big)
    Q_PROPERTY(QStringList Lines MEMBER Lines)
    Q_PROPERTY(QString Hint MEMBER Hint)
    Q_PROPERTY(int Transient MEMBER Transient STORED false)
    Q_PROPERTY(int Computed READ Computed)
    Q_CLASSINFO("Default:Flag", "True")
    Q_CLASSINFO("Default:Mode", "mdSecond")
    Q_CLASSINFO("Default:Level", "50")
    Q_CLASSINFO("Range:Level", "11..100")
    Q_CLASSINFO("Default:Letter", "65")
    Q_CLASSINFO("Default:Big", "7")

public:
    using TIniPersistent::TIniPersistent;
    [[nodiscard]] int Computed() const { return 3; }
    [[nodiscard]] TParts GetParts() const { return Parts; }
    void SetParts(TParts parts) { Parts = parts; }

    bool Flag = false;
    TMode Mode = mdFirst;
    int Level = 0;
    uint FolderId = 0;
    QString Text;
    QByteArray Bytes;
    double Ratio = 0;
    TParts Parts;
    char Letter = 'x';
    QChar Wide;
    qint64 Big = 0;
    QStringList Lines;
    QString Hint;
    int Transient = 0;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TFiledOptions::TParts)

// A component: its Hint never persists.
class TFiledComponent : public TIniComponent
{
    Q_OBJECT
    Q_PROPERTY(QString Hint MEMBER Hint)
    Q_PROPERTY(int Tag MEMBER Tag)
    Q_PROPERTY(int Width MEMBER Width)
public:
    using TIniComponent::TIniComponent;
    QString Hint;
    int Tag = 0;
    int Width = 0;
};

// A plain QObject with neither base: filed through its published methods.
class TPlainPart : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Size MEMBER Size)
public:
    Q_INVOKABLE QString GetSectionName() const { return QStringLiteral("Custom\\Part"); }
    Q_INVOKABLE void DefineIniProperties(TIniFiler* filer, bool loading)
    {
        if (loading)
            Extra = filer->ReadValue(QStringLiteral("Extra"));
        else
            filer->WriteValue(QStringLiteral("Extra"), Extra);
    }
    int Size = 0;
    QString Extra;
};

class TNamelessPart : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Size MEMBER Size)
public:
    int Size = 0;
};

class TPage : public TIniCollectionItem
{
    Q_OBJECT
    Q_PROPERTY(int Width MEMBER Width)
public:
    Q_INVOKABLE TPage() = default;
    int Width = 0;
};

class TOwner : public TIniPersistent
{
    Q_OBJECT
    Q_PROPERTY(QObject* Part READ Part)
    Q_PROPERTY(QObject* Nameless READ Nameless)
    Q_PROPERTY(TIniCollection* Items READ Items)
public:
    TOwner() : FItems(new TIniCollection(TPage::staticMetaObject, this)) {}
    [[nodiscard]] QObject* Part() { return &FPart; }
    [[nodiscard]] QObject* Nameless() { return &FNameless; }
    [[nodiscard]] TIniCollection* Items() { return FItems; }
    TPlainPart FPart;
    TNamelessPart FNameless;

private:
    TIniCollection* FItems;
};

namespace {

class IniFilerTest : public ::testing::Test
{
protected:
    QString FPath = TTestEnvironment::NewFolder() + QStringLiteral("/test.ini");

    void Save(QObject* object)
    {
        auto filer = TIniFiler::OverFile(FPath);
        filer->SaveObject(object);
        filer->Commit();
    }
    void Load(QObject* object)
    {
        auto filer = TIniFiler::OverFile(FPath);
        filer->SetLoading(true);
        filer->LoadObject(object);
    }
    QString Stored(const QString& section, const QString& key)
    {
        return TIniFileStore(FPath).ReadString(section, key, QStringLiteral("<absent>"));
    }
    void Store(const QString& section, const QString& key, const QString& value)
    {
        TIniFileStore store(FPath);
        store.WriteString(section, key, value);
    }
};

} // namespace

TEST_F(IniFilerTest, EveryKindRoundTripsThroughItsTextForm)
{
    TFiledOptions saved;
    saved.Flag = true;
    saved.Mode = TFiledOptions::mdThird;
    saved.Level = 77;
    saved.FolderId = 0xFFFFFFF0u;
    saved.Text = QStringLiteral("Привет, 世界 \U0001F600");
    saved.Bytes = QByteArrayLiteral("plain bytes");
    saved.Ratio = 0.125;
    saved.Parts = TFiledOptions::ptHead | TFiledOptions::ptTail;
    saved.Letter = 'q';
    saved.Wide = QChar(0x416);
    saved.Big = -9000000000LL;
    saved.Lines = {QStringLiteral("one"), QString(), QStringLiteral("three")};
    Save(&saved);

    EXPECT_EQ(Stored(QStringLiteral("FiledOptions"), QStringLiteral("Flag")), QStringLiteral("True"));
    EXPECT_EQ(Stored(QStringLiteral("FiledOptions"), QStringLiteral("Mode")), QStringLiteral("mdThird"));
    EXPECT_EQ(Stored(QStringLiteral("FiledOptions"), QStringLiteral("Parts")), QStringLiteral("ptHead,ptTail"));
    EXPECT_EQ(Stored(QStringLiteral("FiledOptions"), QStringLiteral("Wide")), QStringLiteral("1046"));
    EXPECT_EQ(Stored(QStringLiteral("FiledOptions"), QStringLiteral("Letter")), QStringLiteral("q"));
    EXPECT_TRUE(ReadTestFile(FPath).contains(saved.Text.toUtf8())) << "text is stored as UTF-8";

    TFiledOptions loaded;
    Load(&loaded);
    EXPECT_TRUE(loaded.Flag);
    EXPECT_EQ(loaded.Mode, TFiledOptions::mdThird);
    EXPECT_EQ(loaded.Level, 77);
    EXPECT_EQ(loaded.FolderId, 0xFFFFFFF0u);
    EXPECT_EQ(loaded.Text, saved.Text);
    EXPECT_EQ(loaded.Bytes, saved.Bytes);
    EXPECT_DOUBLE_EQ(loaded.Ratio, 0.125);
    EXPECT_EQ(loaded.Parts, saved.Parts);
    EXPECT_EQ(loaded.Letter, 'q');
    EXPECT_EQ(loaded.Wide, QChar(0x416));
    EXPECT_EQ(loaded.Big, -9000000000LL);
    EXPECT_EQ(loaded.Lines, saved.Lines);
}

struct TTextCase
{
    const char* Name;
    const char* Key;
    const char* Text; // nullptr: key absent
    const char* Expected; // the property's text after loading
};

class IniFilerText : public IniFilerTest, public ::testing::WithParamInterface<TTextCase>
{
};

TEST_P(IniFilerText, LoadsTheValueOrTheDeclaredDefault)
{
    const TTextCase& c = GetParam();
    if (c.Text)
        Store(QStringLiteral("FiledOptions"), QString::fromLatin1(c.Key), QString::fromUtf8(c.Text));
    TFiledOptions options;
    options.Flag = QLatin1String(c.Expected) != QLatin1String("True");
    options.Level = 33;
    options.Mode = TFiledOptions::mdThird;
    options.Parts = TFiledOptions::ptBody;
    Load(&options);
    EXPECT_EQ(PropertyText(&options, QString::fromLatin1(c.Key)), QString::fromUtf8(c.Expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniFilerText,
    ::testing::Values(TTextCase{"EnumCapitals", "Flag", "TRUE", "True"},
                      TTextCase{"EnumSmallLetters", "Flag", "false", "False"},
                      TTextCase{"EnumUnknownWordGivesDefault", "Flag", "Maybe", "True"},
                      TTextCase{"EnumAbsentGivesDefault", "Flag", nullptr, "True"},
                      TTextCase{"NamedEnumAnyCase", "Mode", "MDFIRST", "mdFirst"},
                      TTextCase{"NamedEnumNumberIsNotAName", "Mode", "0", "mdSecond"},
                      TTextCase{"SubrangeBelow", "Level", "5", "50"},
                      TTextCase{"SubrangeAbove", "Level", "101", "50"},
                      TTextCase{"SubrangeLowest", "Level", "11", "11"},
                      TTextCase{"SubrangeHighest", "Level", "100", "100"},
                      TTextCase{"IntegerNotANumber", "Level", "12abc", "50"},
                      TTextCase{"IntegerAbsentGivesDefault", "Level", nullptr, "50"},
                      TTextCase{"NoDefaultTakesTheMarker", "FolderId", nullptr, "2147483648"},
                      TTextCase{"UnsignedFullRange", "FolderId", "4294967295", "4294967295"},
                      TTextCase{"SetWithUnknownNameIsEmpty", "Parts", "ptHead,ptNeck", ""},
                      TTextCase{"SetAnyCase", "Parts", "PTTAIL,pthead", "ptHead,ptTail"},
                      TTextCase{"CharOutsideItsRange", "Letter", "\xd0\x96", "A"},
                      TTextCase{"Int64NotANumber", "Big", "lots", "7"},
                      TTextCase{"FloatNotANumber", "Ratio", "half", "0"},
                      TTextCase{"FloatEitherSeparator", "Ratio", "2.5", "2.5"}),
    TCaseName());

// Makes `locale` the default for the life of the object.
class TScopedLocale
{
public:
    explicit TScopedLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~TScopedLocale() { QLocale::setDefault(FOld); }
    TScopedLocale(const TScopedLocale&) = delete;
    TScopedLocale& operator=(const TScopedLocale&) = delete;

private:
    QLocale FOld;
};

// A number is stored in one form whatever the user's locale, so that a
// settings file reads the same under every locale; the locale's own form,
// which earlier versions wrote, still reads under that locale.
TEST_F(IniFilerTest, NumbersAreStoredTheSameUnderEveryLocale)
{
    {
        TScopedLocale german(QLocale(QLocale::German, QLocale::Germany));
        TFiledOptions saved;
        saved.Ratio = 1234567.5;
        Save(&saved);
        EXPECT_EQ(Stored(QStringLiteral("FiledOptions"), QStringLiteral("Ratio")), QStringLiteral("1234567.5"));
        for (const char* text : {"1234567.5", "1.234.567,5", "1234567,5"}) {
            Store(QStringLiteral("FiledOptions"), QStringLiteral("Ratio"), QString::fromLatin1(text));
            TFiledOptions loaded;
            Load(&loaded);
            EXPECT_DOUBLE_EQ(loaded.Ratio, 1234567.5) << text;
        }
    }
    TScopedLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    Store(QStringLiteral("FiledOptions"), QStringLiteral("Ratio"), QStringLiteral("1234567.5"));
    TFiledOptions loaded;
    Load(&loaded);
    EXPECT_DOUBLE_EQ(loaded.Ratio, 1234567.5);
}

TEST_F(IniFilerTest, SkipsWhatNeverPersists)
{
    TFiledOptions options;
    options.Hint = QStringLiteral("kept: not a component");
    options.Transient = 5;
    options.setObjectName(QStringLiteral("named"));
    Save(&options);
    EXPECT_EQ(Stored(QStringLiteral("FiledOptions"), QStringLiteral("Hint")), options.Hint);
    EXPECT_EQ(Stored(QStringLiteral("FiledOptions"), QStringLiteral("Transient")), QStringLiteral("<absent>"));
    EXPECT_EQ(Stored(QStringLiteral("FiledOptions"), QStringLiteral("Computed")), QStringLiteral("<absent>"));
    EXPECT_EQ(Stored(QStringLiteral("FiledOptions"), QStringLiteral("objectName")), QStringLiteral("<absent>"));

    TFiledComponent component;
    component.Hint = QStringLiteral("never stored");
    component.Tag = 4;
    component.Width = 120;
    Save(&component);
    EXPECT_EQ(Stored(QStringLiteral("FiledComponent"), QStringLiteral("Hint")), QStringLiteral("<absent>"));
    EXPECT_EQ(Stored(QStringLiteral("FiledComponent"), QStringLiteral("Tag")), QStringLiteral("<absent>"));
    EXPECT_EQ(Stored(QStringLiteral("FiledComponent"), QStringLiteral("Width")), QStringLiteral("120"));
}

TEST_F(IniFilerTest, StringListLinesAreKeysOfTheOwnersSectionAndLoadingReplacesThem)
{
    TFiledOptions options;
    options.Lines = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    Save(&options);
    EXPECT_EQ(Stored(QStringLiteral("FiledOptions"), QStringLiteral("LinesCount")), QStringLiteral("3"));
    EXPECT_EQ(Stored(QStringLiteral("FiledOptions"), QStringLiteral("Lines2")), QStringLiteral("c"));

    Store(QStringLiteral("FiledOptions"), QStringLiteral("LinesCount"), QStringLiteral("2"));
    TFiledOptions loaded;
    loaded.Lines = {QStringLiteral("old1"), QStringLiteral("old2"), QStringLiteral("old3"), QStringLiteral("old4")};
    Load(&loaded);
    EXPECT_EQ(loaded.Lines, (QStringList{QStringLiteral("a"), QStringLiteral("b")}));

    // A damaged count reads no more lines than the section holds.
    Store(QStringLiteral("FiledOptions"), QStringLiteral("LinesCount"), QStringLiteral("2000000000"));
    Load(&loaded);
    EXPECT_LT(loaded.Lines.size(), 100);
}

TEST_F(IniFilerTest, ClassTypedPropertiesAndCollectionsGetSectionsOfTheirOwn)
{
    TOwner owner;
    owner.FPart.Size = 4;
    owner.FPart.Extra = QStringLiteral("hooked");
    owner.FNameless.Size = 9;
    owner.Items()->Add()->SetItemName(QStringLiteral("first"));
    auto* second = static_cast<TPage*>(owner.Items()->Add());
    second->SetItemName(QStringLiteral("second"));
    second->Width = 300;
    owner.Items()->SetDefaultItemIndex(1);
    Save(&owner);

    EXPECT_EQ(Stored(QStringLiteral("Custom\\Part"), QStringLiteral("Size")), QStringLiteral("4"));
    EXPECT_EQ(Stored(QStringLiteral("Custom\\Part"), QStringLiteral("Extra")), QStringLiteral("hooked"));
    EXPECT_EQ(Stored(QStringLiteral("NamelessPart"), QStringLiteral("Size")), QStringLiteral("9"));
    EXPECT_EQ(Stored(QStringLiteral("Items"), QStringLiteral("Count")), QStringLiteral("2"));
    EXPECT_EQ(Stored(QStringLiteral("Items"), QStringLiteral("DefaultItemIndex")), QStringLiteral("1"));
    EXPECT_EQ(Stored(QStringLiteral("Items\\0"), QStringLiteral("ItemName")), QStringLiteral("first"));
    EXPECT_EQ(Stored(QStringLiteral("Items\\1"), QStringLiteral("Width")), QStringLiteral("300"));

    TOwner loaded;
    Load(&loaded);
    EXPECT_EQ(loaded.FPart.Size, 4);
    EXPECT_EQ(loaded.FPart.Extra, QStringLiteral("hooked"));
    EXPECT_EQ(loaded.FNameless.Size, 9);
    ASSERT_EQ(loaded.Items()->Count(), 2);
    EXPECT_EQ(loaded.Items()->Item(0)->ItemName(), QStringLiteral("first"));
    EXPECT_EQ(static_cast<TPage*>(loaded.Items()->Item(1))->Width, 300);
    EXPECT_EQ(loaded.Items()->DefaultItemIndex(), 1);

    loaded.Items()->Delete(1);
    EXPECT_EQ(loaded.Items()->DefaultItemIndex(), 0) << "a deleted default item is forgotten";
}

TEST_F(IniFilerTest, DefinePropertyFilesOneNamedPropertyAndIgnoresUnknownNames)
{
    TFiledOptions options;
    options.Level = 64;
    auto filer = TIniFiler::OverFile(FPath);
    filer->SetSection(QStringLiteral("Window"));
    filer->DefineProperty(&options, QStringLiteral("level"));
    filer->DefineProperty(&options, QStringLiteral("NoSuchProperty"));
    filer->DefineProperty(nullptr, QStringLiteral("Level"));
    filer->Commit();
    EXPECT_EQ(Stored(QStringLiteral("Window"), QStringLiteral("Level")), QStringLiteral("64"));
    EXPECT_EQ(TIniFileStore(FPath).KeyNames(QStringLiteral("Window")), QStringList{QStringLiteral("Level")});
}

TEST(IniPropertyText, TextAndOrdinalAccessByName)
{
    TFiledOptions options;
    SetPropertyText(&options, QStringLiteral("text"), QStringLiteral("Grüße"));
    EXPECT_EQ(options.Text, QStringLiteral("Grüße"));
    EXPECT_EQ(PropertyText(&options, QStringLiteral("Text")), QStringLiteral("Grüße"));
    options.Mode = TFiledOptions::mdThird;
    EXPECT_EQ(OrdPropertyByName(&options, QStringLiteral("Mode")), 2);
    try {
        (void)OrdPropertyByName(&options, QStringLiteral("Missing"));
        FAIL() << "an unknown name raises";
    } catch (const EPropertyError& error) {
        EXPECT_EQ(error.Message(), QStringLiteral("Property Missing does not exist"));
    }
}

namespace {

// A store that refuses the first write of each value.
class TRefusingStore : public TIniFileStore
{
public:
    using TIniFileStore::TIniFileStore;
    int Refusals = 1;
    QStringList Deleted;

    void WriteString(const QString& section, const QString& key, const QString& text) override
    {
        if (Refusals-- > 0)
            throw EIniFileError(QStringLiteral("refused"));
        TIniFileStore::WriteString(section, key, text);
    }
    void DeleteKey(const QString& section, const QString& key) override
    {
        Deleted.append(key);
        TIniFileStore::DeleteKey(section, key);
    }
};

} // namespace

TEST_F(IniFilerTest, ARefusedWriteDeletesTheKeyAndWritesOnceMore)
{
    auto store = std::make_unique<TRefusingStore>(FPath);
    TRefusingStore& refusing = *store;
    TIniFiler filer(std::move(store));
    filer.SetSection(QStringLiteral("S"));
    filer.WriteValue(QStringLiteral("Key"), QStringLiteral("v"));
    EXPECT_EQ(refusing.Deleted, QStringList{QStringLiteral("Key")});
    EXPECT_EQ(filer.ReadValue(QStringLiteral("Key")), QStringLiteral("v"));
    refusing.Refusals = 2;
    EXPECT_THROW(filer.WriteValue(QStringLiteral("Key"), QStringLiteral("w")), EIniFileError);
}

#include "IniFilerTest.moc"
