// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/export/TfExportLevel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>

namespace brelo {

TfExportLevel::TfExportLevel(QWidget* parent) : QDialog(parent) {
  setObjectName("fExportLevel");
  setWindowTitle("Export Level");
  auto* form = new QFormLayout(this);
  cbCompression = new QComboBox(this);
  cbCompression->setObjectName("cbCompression");
  cbCompression->addItems({"DEFLATE (lossless)", "JPEG"});
  form->addRow("GeoTIFF compression:", cbCompression);
  cbOverviews = new QCheckBox("Add overviews", this);
  cbOverviews->setObjectName("cbOverviews");
  form->addRow(cbOverviews);
  cbFillGaps = new QCheckBox("Fill gaps with white (otherwise transparent)", this);
  cbFillGaps->setObjectName("cbFillGaps");
  form->addRow(cbFillGaps);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

bool TfExportLevel::Execute(const QString& path, TGisExportOptions& options) {
  const bool tiff = QFileInfo(path).suffix().toLower().startsWith("tif");
  cbCompression->setEnabled(tiff);
  cbOverviews->setEnabled(tiff);
  cbCompression->setFocus();
  if (exec() != QDialog::Accepted) return false;
  options.File.Compression =
      cbCompression->currentIndex() == 1 ? TRasterCompression::Jpeg : TRasterCompression::Deflate;
  options.File.Overviews = tiff && cbOverviews->isChecked();
  options.UseBackground = cbFillGaps->isChecked();
  return true;
}

}  // namespace brelo
