#pragma once

#include "content/view/MesgViewModel.h"

// What every message view shares: the message object and its decoded form
// (the view model), the charsets and the options it was shown with. The
// widget views (reading pane, message window) derive from it together
// with QWidget; the preview decoder derives from it alone, because it runs
// on the list's parser thread, where no widget may exist.
class TAbstractMesgEditor
{
public:
    explicit TAbstractMesgEditor(TMesgViewModel::TAttachments attachments);
    virtual ~TAbstractMesgEditor();
    TAbstractMesgEditor(const TAbstractMesgEditor&) = delete;
    TAbstractMesgEditor& operator=(const TAbstractMesgEditor&) = delete;

    [[nodiscard]] TMesgViewModel& Model() { return FModel; }
    [[nodiscard]] const TMesgViewModel& Model() const { return FModel; }
    [[nodiscard]] TMimeMessage& Message() { return FModel.Message(); }

    // Shows the message object (filled already) in the charset its content
    // type names. `unsent` is the store's unsent mark of the item.
    void DisplayMessage(const TViewOptions& options, bool unsent = false);
    // Shows it again in another charset, body and header fields alike.
    void ChangeCharset(CharsetId charset);
    // Decodes and shows the message: `charset` becomes the chosen one; with
    // `keep` every text part is read in it.
    virtual void LoadMessage(CharsetId charset, bool keep);

    [[nodiscard]] bool ReadOnly() const { return FModel.ReadOnly(); }
    virtual void SetReadOnly(bool readOnly);
    [[nodiscard]] CharsetId ChosenCharset() const { return FModel.ChosenCharset(); }

    // The body as it is saved: never filtered.
    [[nodiscard]] virtual QString BodyText() const { return FModel.BodyText(); }
    [[nodiscard]] QString HtmlBodyText() const { return FModel.HtmlBodyText(); }

    // Writes the message as a message file; raises the stream errors.
    virtual void SaveMessageFile(const QString& path);
    // Writes its text form (UTF-8); raises the stream errors.
    virtual void SaveAsText(const QString& path);

protected:
    [[nodiscard]] const TViewOptions& ViewOptions() const { return FOptions; }
    // Empties what the view shows before a message is loaded.
    virtual void ClearView() {}
    // Shows what the model decoded.
    virtual void ShowModel() = 0;

private:
    TMesgViewModel FModel;
    TViewOptions FOptions;
};

// The hidden decoder behind the message list's hint texts. It keeps no
// attachment data and touches no widget, so it runs on any thread.
class TMesgPreview : public TAbstractMesgEditor
{
public:
    TMesgPreview();

    // The four header lines, then up to five lines of the (filtered) body.
    [[nodiscard]] QString PreviewText() const;

protected:
    void ShowModel() override {}
};
