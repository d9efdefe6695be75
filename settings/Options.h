#pragma once

#include "settings/AdSamples.h"
#include "settings/BaseOptions.h"

#include <QByteArray>

#include <functional>
#include <optional>

// The settings object of the run: the user's options, filed in the section
// "Options", the per-user data folder, the advertisement samples and the
// delay after which a previewed message counts as read. Construction loads
// the stored options; they are written with the window layout at the end
// of the run.
class TOptions : public TBaseOptions
{
    Q_OBJECT
    Q_PROPERTY(bool WholeWord READ WholeWord WRITE SetWholeWord)
    Q_PROPERTY(bool MatchCase READ MatchCase WRITE SetMatchCase)
    Q_PROPERTY(bool FindDown READ FindDown WRITE SetFindDown)
    Q_PROPERTY(bool ShowHeader READ ShowHeader WRITE SetShowHeader)
    Q_PROPERTY(bool AutoRus READ AutoRus WRITE SetAutoRus)
    Q_PROPERTY(bool AutoRusHeader READ AutoRusHeader WRITE SetAutoRusHeader)
    Q_PROPERTY(QString MessageExt READ MessageExt WRITE SetMessageExt)
    Q_PROPERTY(bool DeleteDoubleReturn READ DeleteDoubleReturn WRITE SetDeleteDoubleReturn)
    Q_PROPERTY(bool MarkQuote READ MarkQuote WRITE SetMarkQuote)
    Q_PROPERTY(bool AdvertismentFilter READ AdvertismentFilter WRITE SetAdvertismentFilter)
    Q_PROPERTY(int AdvertismentLevel READ AdvertismentLevel WRITE SetAdvertismentLevel)
    Q_PROPERTY(bool GreetingFilter READ GreetingFilter WRITE SetGreetingFilter)
    Q_PROPERTY(bool ShowPreview READ ShowPreview WRITE SetShowPreview)
    Q_CLASSINFO("Default:WholeWord", "False")
    Q_CLASSINFO("Default:MatchCase", "False")
    Q_CLASSINFO("Default:FindDown", "True")
    Q_CLASSINFO("Default:ShowHeader", "False")
    Q_CLASSINFO("Default:AutoRus", "False")
    Q_CLASSINFO("Default:AutoRusHeader", "False")
    Q_CLASSINFO("Default:DeleteDoubleReturn", "True")
    Q_CLASSINFO("Default:MarkQuote", "True")
    Q_CLASSINFO("Default:AdvertismentFilter", "True")
    Q_CLASSINFO("Default:AdvertismentLevel", "90")
    Q_CLASSINFO("Default:GreetingFilter", "True")
    Q_CLASSINFO("Default:ShowPreview", "True")

public:
    static inline const QString kDefaultMessageExt = QStringLiteral("eml;msg");

    explicit TOptions(QObject* parent = nullptr);
    ~TOptions() override;

    [[nodiscard]] bool WholeWord() const { return FWholeWord; }
    void SetWholeWord(bool on) { FWholeWord = on; }
    [[nodiscard]] bool MatchCase() const { return FMatchCase; }
    void SetMatchCase(bool on) { FMatchCase = on; }
    [[nodiscard]] bool FindDown() const { return FFindDown; }
    void SetFindDown(bool on) { FFindDown = on; }
    [[nodiscard]] bool ShowHeader() const { return FShowHeader; }
    // A change is announced by ShowHeaderChanged (every reading pane adds
    // or removes its header page).
    void SetShowHeader(bool on);
    // Both are process-wide switches of the Russian charset re-detection.
    [[nodiscard]] bool AutoRus() const;
    void SetAutoRus(bool on);
    [[nodiscard]] bool AutoRusHeader() const;
    void SetAutoRusHeader(bool on);
    // File extensions taken as message files; an empty value stores "eml;msg".
    [[nodiscard]] const QString& MessageExt() const { return FMessageExt; }
    void SetMessageExt(const QString& extensions);
    [[nodiscard]] bool DeleteDoubleReturn() const { return FDeleteDoubleReturn; }
    void SetDeleteDoubleReturn(bool on) { FDeleteDoubleReturn = on; }
    [[nodiscard]] bool MarkQuote() const { return FMarkQuote; }
    void SetMarkQuote(bool on) { FMarkQuote = on; }
    [[nodiscard]] bool AdvertismentFilter() const { return FAdvertismentFilter; }
    void SetAdvertismentFilter(bool on) { FAdvertismentFilter = on; }
    [[nodiscard]] int AdvertismentLevel() const { return FAdvertismentLevel; }
    // Accepts 11 to 100 only; other values are ignored.
    void SetAdvertismentLevel(int level);
    [[nodiscard]] bool GreetingFilter() const { return FGreetingFilter; }
    void SetGreetingFilter(bool on) { FGreetingFilter = on; }
    [[nodiscard]] bool ShowPreview() const { return FShowPreview; }
    // A change is announced by ShowPreviewChanged (the shared preview pane
    // is created or freed).
    void SetShowPreview(bool on);

    // Milliseconds a previewed message stays shown before it is marked read.
    [[nodiscard]] int MarkPreviewAsRead() const { return FMarkPreviewAsRead; }
    [[nodiscard]] TAdSamples& AdSamples() { return FAdSamples; }
    // "atcdict.txt" in the options folder.
    [[nodiscard]] QString AdSamplesPath() const;

    // The favourites object, filed by this object's hook in its own section
    // (the application installs it once it exists).
    [[nodiscard]] QObject* Favorites() const { return FFavorites; }
    void SetFavorites(QObject* favorites) { FFavorites = favorites; }
    void DefineIniProperties(TIniFiler& filer) override;

    // The source of the store engine's settings: the numeric value of a key,
    // or nothing when the key is absent. The application installs it before
    // creating the settings object; returns the previous source.
    using TMarkPreviewSource = std::function<std::optional<qint64>(const QByteArray& key)>;
    static TMarkPreviewSource SetMarkPreviewAsReadSource(TMarkPreviewSource source);
    // The value of version 6.0, else of 5.0, else 10.
    [[nodiscard]] static int ReadMarkPreviewAsRead(const TMarkPreviewSource& source);

Q_SIGNALS:
    void ShowHeaderChanged(bool on);
    void ShowPreviewChanged(bool on);

private:
    void SetUpOptionsPath();

    bool FWholeWord = false;
    bool FMatchCase = false;
    bool FFindDown = true;
    bool FShowHeader = false;
    QString FMessageExt = kDefaultMessageExt;
    bool FDeleteDoubleReturn = true;
    bool FMarkQuote = true;
    bool FAdvertismentFilter = true;
    int FAdvertismentLevel = 90;
    bool FGreetingFilter = true;
    bool FShowPreview = true;
    int FMarkPreviewAsRead = 10;
    TAdSamples FAdSamples;
    QObject* FFavorites = nullptr;
};

// The settings object of the run, or none.
[[nodiscard]] TOptions* Options();

// The default per-user data folder: the user's data folder (else documents
// folder, else the current folder) followed by the display name; created
// when missing.
[[nodiscard]] QString DefaultOptionsFolder();
