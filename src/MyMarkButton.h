#pragma once

#include <QPushButton>

// The finished mark of a file row. It announces when the program hides it (directly, or with a widget
// that contains it), so that the row can drop the result that the mark stood for.
class MyMarkButton : public QPushButton
{
    Q_OBJECT

public:
    explicit MyMarkButton(QWidget* parent = nullptr);

signals:
    void buttonHide();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    Q_DISABLE_COPY(MyMarkButton)
};
