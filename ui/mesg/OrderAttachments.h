#pragma once

#include "ui/actions/EditInterfaces.h"

class TAbstractMesgEditor;

// The attachment list of a message view as an ordered list: the rows are
// the attachments' display names in part order. Every view can save an
// attachment (through the save dialog) and open one (written to the
// private temporary folder, then handed to the desktop); an editable view
// can also add files and delete attachments, which marks it changed.
class TOrderAttachments : public IOrderInterface
{
public:
    explicit TOrderAttachments(TAbstractMesgEditor& view);

    [[nodiscard]] bool Changed() const { return FChanged; }
    void SetChanged(bool changed) { FChanged = changed; }
    // The folder the file dialogs start in; the last one used.
    [[nodiscard]] const QString& Folder() const { return FFolder; }

    // Opens attachment i with the desktop's program for its type; errors
    // are shown. False when it could not be opened.
    bool Open(int index);

    [[nodiscard]] bool Supports(int kind) const override;
    [[nodiscard]] bool CanAdd() const override;
    void Add() override;
    [[nodiscard]] bool CanDelete(int index) const override;
    void Delete(int index) override;
    void Move(int, int) override {}
    void Load(int) override {}
    void Save(int index) override;
    void Properties(int) override {}
    void SetDefault(int) override {}
    [[nodiscard]] int Count() const override;
    [[nodiscard]] QString Text(int index) const override;

private:
    void Remember(const QString& path);

    TAbstractMesgEditor& FView;
    QString FFolder;
    bool FChanged = false;
};
