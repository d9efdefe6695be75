#include "ui/mesg/MesgEditor.h"

#include "content/MimeWriter.h"
#include "content/view/MesgRebuild.h"
#include "content/view/MesgTextForm.h"
#include "ui/WideEdit.h"
#include "ui/edit/WideRichEdit.h"
#include "ui/mesg/MesgTexts.h"
#include "ui/spell/SpellUnderliner.h"

#include <QGridLayout>
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
    auto* grid = new QGridLayout(boxes);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    for (int box = 0; box < bxCount; ++box) {
        FBoxes[box] = new TWideEdit(boxes);
        FBoxes[box]->setObjectName(QString::fromLatin1(kBoxKeys[box]) + QStringLiteral("Edit"));
        FLabels[box] = new QLabel(boxes);
        FLabels[box]->setBuddy(FBoxes[box]);
        // Name and address side by side; every other box on a row of its own.
        const bool address = box == bxFromAddress || box == bxToAddress;
        const int row = box <= bxToAddress ? box / 2 : box - 2;
        grid->addWidget(FLabels[box], row, address ? 2 : 0);
        grid->addWidget(FBoxes[box], row, address ? 3 : 1, 1, box <= bxToAddress ? 1 : 3);
    }
    AddTopWidget(boxes);
    FUnderliner = new TSpellUnderliner(BodyEdit());
    UpdateCaptions();
    ApplyReadOnly();
}

void TMesgEditor::UpdateCaptions()
{
    TCommonMesgEditor::UpdateCaptions();
    for (int box = 0; box < bxCount && FLabels[box]; ++box)
        FLabels[box]->setText(FieldCaption(QString::fromLatin1(kBoxKeys[box])) + QLatin1Char(':'));
}

bool TMesgEditor::BoxShown(TBox box) const
{
    return !FBoxes[box]->isHidden();
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
        const bool shown = readOnly ? ShownWhenReadOnly(box) : ShownWhenEditable(box);
        FLabels[box]->setVisible(shown);
        FBoxes[box]->setVisible(shown);
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

void TMesgEditor::ApplyEdits()
{
    if (!ReadOnly() && IsModified())
        RebuildMessage(Message(), Edited());
}

void TMesgEditor::SaveMessageFile(const QString& path)
{
    ApplyEdits();
    Model().SaveMessageFile(path);
    SetModified(false);
}

void TMesgEditor::SaveBodyToStream(TStream& target)
{
    ApplyEdits();
    WriteMimeMessage(Message(), target);
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
