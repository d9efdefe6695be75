#include "ui/mesg/MesgEditor.h"

#include "content/view/MesgTextForm.h"
#include "ui/WideEdit.h"
#include "ui/edit/WideRichEdit.h"
#include "ui/mesg/MesgTexts.h"
#include "ui/spell/SpellUnderliner.h"

#include <QFormLayout>
#include <QLabel>

namespace {

// The "MesgFields" caption keys of the boxes, in box order.
const char* const kBoxKeys[] = {"FromRealName", "FromEMail", "ToRealName", "ToEmail", "Date",
                                "Subject",      "To",        "CC",         "BC"};

bool ShownWhenReadOnly(int box)
{
    return box <= TMesgEditor::bxSubject;
}

bool ShownWhenEditable(int box)
{
    return box >= TMesgEditor::bxSubject;
}

} // namespace

TMesgEditor::TMesgEditor(QWidget* parent)
    : TCommonMesgEditor(parent)
{
    auto* boxes = new QWidget(this);
    boxes->setObjectName(QStringLiteral("FieldBoxes"));
    FForm = new QFormLayout(boxes);
    FForm->setContentsMargins(4, 2, 4, 2);
    for (int box = 0; box < bxCount; ++box) {
        FBoxes[box] = new TWideEdit(boxes);
        FBoxes[box]->setObjectName(QString::fromLatin1(kBoxKeys[box]) + QStringLiteral("Edit"));
        FForm->addRow(new QLabel(boxes), FBoxes[box]);
    }
    AddTopWidget(boxes);
    FUnderliner = new TSpellUnderliner(BodyEdit());
    UpdateCaptions();
    ApplyReadOnly();
}

void TMesgEditor::UpdateCaptions()
{
    TCommonMesgEditor::UpdateCaptions();
    if (!FForm)
        return;
    for (int box = 0; box < bxCount; ++box) {
        auto* label = static_cast<QLabel*>(FForm->labelForField(FBoxes[box]));
        label->setText(FieldCaption(QString::fromLatin1(kBoxKeys[box])) + QLatin1Char(':'));
    }
}

bool TMesgEditor::BoxShown(TBox box) const
{
    return FForm->isRowVisible(FBoxes[box]);
}

void TMesgEditor::ShowFields()
{
    const TMesgViewModel::TFields& fields = Model().Fields();
    const QString values[bxCount] = {fields.FromName, fields.FromAddress, fields.ToName, fields.ToAddress, fields.Date,
                                     fields.Subject,  fields.To,          fields.Cc,     fields.Bcc};
    for (int box = 0; box < bxCount; ++box)
        FBoxes[box]->setText(TWideEdit::OneLine(values[box]));
}

void TMesgEditor::ApplyReadOnly()
{
    TCommonMesgEditor::ApplyReadOnly();
    const bool readOnly = ReadOnly();
    for (int box = 0; box < bxCount; ++box) {
        FForm->setRowVisible(FBoxes[box], readOnly ? ShownWhenReadOnly(box) : ShownWhenEditable(box));
        FBoxes[box]->setReadOnly(readOnly || box < bxSubject);
    }
}

bool TMesgEditor::IsModified() const
{
    return TCommonMesgEditor::IsModified() ||
           std::any_of(std::begin(FBoxes), std::end(FBoxes), [](const TWideEdit* box) { return box->isModified(); });
}

void TMesgEditor::SetModified(bool modified)
{
    TCommonMesgEditor::SetModified(modified);
    for (TWideEdit* box : FBoxes)
        box->setModified(modified);
}

TEditedMessage TMesgEditor::Edited() const
{
    TEditedMessage edited;
    edited.Subject = FBoxes[bxSubject]->text();
    edited.From = Model().Fields().From;
    edited.To = FBoxes[bxTo]->text();
    edited.Cc = FBoxes[bxCc]->text();
    edited.Bcc = FBoxes[bxBcc]->text();
    edited.Sender = GridText(grSender);
    edited.ReplyTo = GridText(grReplyTo);
    edited.Organization = GridText(grOrganization);
    edited.Newsgroups = GridText(grNewsgroups);
    if (BodyEdit()->document()->isModified())
        edited.Body = BodyEdit()->toPlainText();
    edited.Charset = ChosenCharset();
    return edited;
}

void TMesgEditor::SaveMessageFile(const QString& path)
{
    if (!ReadOnly() && IsModified()) {
        const TEditedMessage edited = Edited();
        Model().SaveMessageFile(path, &edited);
    } else {
        Model().SaveMessageFile(path);
    }
    SetModified(false);
}

void TMesgEditor::SaveAsText(const QString& path)
{
    TMesgFieldTexts fields;
    fields.From = Model().Fields().From;
    fields.To = FBoxes[bxTo]->text();
    fields.Cc = FBoxes[bxCc]->text();
    fields.Bcc = FBoxes[bxBcc]->text();
    fields.Subject = FBoxes[bxSubject]->text();
    fields.Date = FBoxes[bxDate]->text();
    TMesgViewModel::SaveAsText(path, fields, BodyText());
}
