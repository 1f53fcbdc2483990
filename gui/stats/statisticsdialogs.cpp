#include "gui/stats/statisticsdialogs.h"

#include <QLabel>
#include <QVBoxLayout>

StatisticsDialog::StatisticsDialog(const QString& caption, QWidget* parent) : QDialog(parent) {
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(caption, this));
    resize(480, 320);
}
