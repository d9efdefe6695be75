#include "ui/mesg/QuickMesgEditor.h"

#include "content/view/MesgTextForm.h"
#include "ui/edit/WideRichEdit.h"

#include <QGridLayout>
#include <QLabel>

namespace {

QLabel* NewFieldLabel(const QString& name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    // Subjects and names come from the sender: never read them as markup.
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long subject must not widen the window; it is cut at the pane's edge.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return label;
}

QString Captioned(const QString& key, const QString& value)
{
    return FieldCaption(key) + QStringLiteral(": ") + value;
}

} // namespace

TQuickMesgEditor::TQuickMesgEditor(QWidget* parent)
    : TCommonMesgEditor(parent)
{
    auto* header = new QWidget(this);
    header->setObjectName(QStringLiteral("HeaderLabels"));
    auto* layout = new QGridLayout(header);
    layout->setContentsMargins(4, 2, 4, 2);
    FFrom = NewFieldLabel(QStringLiteral("FromLabel"), header);
    FTo = NewFieldLabel(QStringLiteral("ToLabel"), header);
    FSubject = NewFieldLabel(QStringLiteral("SubjectLabel"), header);
    QFont bold = FSubject->font();
    bold.setBold(true);
    FSubject->setFont(bold);
    layout->addWidget(FFrom, 0, 0);
    layout->addWidget(FTo, 0, 1);
    layout->addWidget(FSubject, 1, 0, 1, 2);
    AddTopWidget(header);
    ClearView();
}

void TQuickMesgEditor::ClearView()
{
    TCommonMesgEditor::ClearView();
    FFrom->setText(Captioned(QStringLiteral("From"), {}));
    FTo->setText(Captioned(QStringLiteral("To"), {}));
    FSubject->setText(Captioned(QStringLiteral("Subject"), {}));
}

void TQuickMesgEditor::ShowFields()
{
    const TMesgViewModel::TFields& fields = Model().Fields();
    FFrom->setText(Captioned(QStringLiteral("From"), fields.From));
    FTo->setText(Captioned(QStringLiteral("To"), fields.To));
    FSubject->setText(Captioned(QStringLiteral("Subject"), fields.Subject) + QStringLiteral("  ") +
                      Captioned(QStringLiteral("Date"), fields.Date));
}

