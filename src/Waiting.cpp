#include "Waiting.h"

#include "CRotateLabel.h"

#include <QHBoxLayout>
#include <QSpacerItem>

Waiting::Waiting(MainWindow* owner) : QWidget(nullptr), owner(owner), spinner(nullptr)
{
    resize(94, 66);
    auto* layout = new QHBoxLayout(this);
    layout->addItem(new QSpacerItem(5, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    spinner = new CRotateLabel(this);
    spinner->setMaximumSize(48, 48);
    spinner->setPixmap(QPixmap(QStringLiteral(":/resource/waiting-48.png")));
    layout->addWidget(spinner);
    layout->addItem(new QSpacerItem(5, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));

    setWindowFlags(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowModality(Qt::ApplicationModal);
    hide();
}

Waiting::~Waiting()
{
    delete spinner;
}
