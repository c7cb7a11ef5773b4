// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The options of exporting a level to a GIS raster: GeoTIFF compression and overviews, and
// whether gaps are filled with white or left transparent.
#include <QDialog>

#include "export/GisExport.h"

class QCheckBox;
class QComboBox;

namespace brelo {

class TfExportLevel : public QDialog {
  Q_OBJECT

 public:
  explicit TfExportLevel(QWidget* parent = nullptr);
  // Shows the choices that apply to path's format; false when the user cancelled.
  bool Execute(const QString& path, TGisExportOptions& options);

  QComboBox* cbCompression;  // GeoTIFF: DEFLATE (lossless) or JPEG
  QCheckBox* cbOverviews;    // GeoTIFF
  QCheckBox* cbFillGaps;     // white instead of transparent
};

}  // namespace brelo
