// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The grid's cells for assistive tools: the control reports itself as a table whose cells
// carry their texts, row 0 and the heading columns as headers.
namespace brelo {

// Installs the accessibility factory for TStringGridEx once; later calls do nothing.
void InstallGridAccessibility();

}  // namespace brelo
