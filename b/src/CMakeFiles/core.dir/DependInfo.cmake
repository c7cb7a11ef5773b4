
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/wt11/src/LibTar/TarArchive.cpp" "src/CMakeFiles/core.dir/LibTar/TarArchive.cpp.o" "gcc" "src/CMakeFiles/core.dir/LibTar/TarArchive.cpp.o.d"
  "/work/wt11/src/LibTar/TarHeader.cpp" "src/CMakeFiles/core.dir/LibTar/TarHeader.cpp.o" "gcc" "src/CMakeFiles/core.dir/LibTar/TarHeader.cpp.o.d"
  "/work/wt11/src/LibTar/TarWriter.cpp" "src/CMakeFiles/core.dir/LibTar/TarWriter.cpp.o" "gcc" "src/CMakeFiles/core.dir/LibTar/TarWriter.cpp.o.d"
  "/work/wt11/src/LibTar/UnpackTar.cpp" "src/CMakeFiles/core.dir/LibTar/UnpackTar.cpp.o" "gcc" "src/CMakeFiles/core.dir/LibTar/UnpackTar.cpp.o.d"
  "/work/wt11/src/MyJpeg/BmpReader.cpp" "src/CMakeFiles/core.dir/MyJpeg/BmpReader.cpp.o" "gcc" "src/CMakeFiles/core.dir/MyJpeg/BmpReader.cpp.o.d"
  "/work/wt11/src/MyJpeg/JpegErrorManager.cpp" "src/CMakeFiles/core.dir/MyJpeg/JpegErrorManager.cpp.o" "gcc" "src/CMakeFiles/core.dir/MyJpeg/JpegErrorManager.cpp.o.d"
  "/work/wt11/src/MyJpeg/JpegImage.cpp" "src/CMakeFiles/core.dir/MyJpeg/JpegImage.cpp.o" "gcc" "src/CMakeFiles/core.dir/MyJpeg/JpegImage.cpp.o.d"
  "/work/wt11/src/MyJpeg/JpegRowReader.cpp" "src/CMakeFiles/core.dir/MyJpeg/JpegRowReader.cpp.o" "gcc" "src/CMakeFiles/core.dir/MyJpeg/JpegRowReader.cpp.o.d"
  "/work/wt11/src/MyJpeg/PictureReader.cpp" "src/CMakeFiles/core.dir/MyJpeg/PictureReader.cpp.o" "gcc" "src/CMakeFiles/core.dir/MyJpeg/PictureReader.cpp.o.d"
  "/work/wt11/src/MyJpeg/PixelBuffer.cpp" "src/CMakeFiles/core.dir/MyJpeg/PixelBuffer.cpp.o" "gcc" "src/CMakeFiles/core.dir/MyJpeg/PixelBuffer.cpp.o.d"
  "/work/wt11/src/MyJpeg/PngReader.cpp" "src/CMakeFiles/core.dir/MyJpeg/PngReader.cpp.o" "gcc" "src/CMakeFiles/core.dir/MyJpeg/PngReader.cpp.o.d"
  "/work/wt11/src/MyJpeg/StretchHalftone.cpp" "src/CMakeFiles/core.dir/MyJpeg/StretchHalftone.cpp.o" "gcc" "src/CMakeFiles/core.dir/MyJpeg/StretchHalftone.cpp.o.d"
  "/work/wt11/src/base/Coordinates.cpp" "src/CMakeFiles/core.dir/base/Coordinates.cpp.o" "gcc" "src/CMakeFiles/core.dir/base/Coordinates.cpp.o.d"
  "/work/wt11/src/base/NumberFormat.cpp" "src/CMakeFiles/core.dir/base/NumberFormat.cpp.o" "gcc" "src/CMakeFiles/core.dir/base/NumberFormat.cpp.o.d"
  "/work/wt11/src/base/Numbers.cpp" "src/CMakeFiles/core.dir/base/Numbers.cpp.o" "gcc" "src/CMakeFiles/core.dir/base/Numbers.cpp.o.d"
  "/work/wt11/src/base/Paths.cpp" "src/CMakeFiles/core.dir/base/Paths.cpp.o" "gcc" "src/CMakeFiles/core.dir/base/Paths.cpp.o.d"
  "/work/wt11/src/base/Platform.cpp" "src/CMakeFiles/core.dir/base/Platform.cpp.o" "gcc" "src/CMakeFiles/core.dir/base/Platform.cpp.o.d"
  "/work/wt11/src/base/PrintfFormat.cpp" "src/CMakeFiles/core.dir/base/PrintfFormat.cpp.o" "gcc" "src/CMakeFiles/core.dir/base/PrintfFormat.cpp.o.d"
  "/work/wt11/src/base/SafeFile.cpp" "src/CMakeFiles/core.dir/base/SafeFile.cpp.o" "gcc" "src/CMakeFiles/core.dir/base/SafeFile.cpp.o.d"
  "/work/wt11/src/base/Stream.cpp" "src/CMakeFiles/core.dir/base/Stream.cpp.o" "gcc" "src/CMakeFiles/core.dir/base/Stream.cpp.o.d"
  "/work/wt11/src/base/StreamHelpers.cpp" "src/CMakeFiles/core.dir/base/StreamHelpers.cpp.o" "gcc" "src/CMakeFiles/core.dir/base/StreamHelpers.cpp.o.d"
  "/work/wt11/src/base/Text.cpp" "src/CMakeFiles/core.dir/base/Text.cpp.o" "gcc" "src/CMakeFiles/core.dir/base/Text.cpp.o.d"
  "/work/wt11/src/base/TileSpool.cpp" "src/CMakeFiles/core.dir/base/TileSpool.cpp.o" "gcc" "src/CMakeFiles/core.dir/base/TileSpool.cpp.o.d"
  "/work/wt11/src/commands/CommandResult.cpp" "src/CMakeFiles/core.dir/commands/CommandResult.cpp.o" "gcc" "src/CMakeFiles/core.dir/commands/CommandResult.cpp.o.d"
  "/work/wt11/src/commands/CreateCommand.cpp" "src/CMakeFiles/core.dir/commands/CreateCommand.cpp.o" "gcc" "src/CMakeFiles/core.dir/commands/CreateCommand.cpp.o.d"
  "/work/wt11/src/commands/ExportCommand.cpp" "src/CMakeFiles/core.dir/commands/ExportCommand.cpp.o" "gcc" "src/CMakeFiles/core.dir/commands/ExportCommand.cpp.o.d"
  "/work/wt11/src/commands/OutlineCommand.cpp" "src/CMakeFiles/core.dir/commands/OutlineCommand.cpp.o" "gcc" "src/CMakeFiles/core.dir/commands/OutlineCommand.cpp.o.d"
  "/work/wt11/src/commands/SaveCommands.cpp" "src/CMakeFiles/core.dir/commands/SaveCommands.cpp.o" "gcc" "src/CMakeFiles/core.dir/commands/SaveCommands.cpp.o.d"
  "/work/wt11/src/commands/UpdateCommands.cpp" "src/CMakeFiles/core.dir/commands/UpdateCommands.cpp.o" "gcc" "src/CMakeFiles/core.dir/commands/UpdateCommands.cpp.o.d"
  "/work/wt11/src/export/OziExport.cpp" "src/CMakeFiles/core.dir/export/OziExport.cpp.o" "gcc" "src/CMakeFiles/core.dir/export/OziExport.cpp.o.d"
  "/work/wt11/src/export/OziMapFile.cpp" "src/CMakeFiles/core.dir/export/OziMapFile.cpp.o" "gcc" "src/CMakeFiles/core.dir/export/OziMapFile.cpp.o.d"
  "/work/wt11/src/gpx/GarminColors.cpp" "src/CMakeFiles/core.dir/gpx/GarminColors.cpp.o" "gcc" "src/CMakeFiles/core.dir/gpx/GarminColors.cpp.o.d"
  "/work/wt11/src/gpx/GpxReader.cpp" "src/CMakeFiles/core.dir/gpx/GpxReader.cpp.o" "gcc" "src/CMakeFiles/core.dir/gpx/GpxReader.cpp.o.d"
  "/work/wt11/src/gpx/GpxScanner.cpp" "src/CMakeFiles/core.dir/gpx/GpxScanner.cpp.o" "gcc" "src/CMakeFiles/core.dir/gpx/GpxScanner.cpp.o.d"
  "/work/wt11/src/gpx/GpxWriter.cpp" "src/CMakeFiles/core.dir/gpx/GpxWriter.cpp.o" "gcc" "src/CMakeFiles/core.dir/gpx/GpxWriter.cpp.o.d"
  "/work/wt11/src/jnx/FolderScan.cpp" "src/CMakeFiles/core.dir/jnx/FolderScan.cpp.o" "gcc" "src/CMakeFiles/core.dir/jnx/FolderScan.cpp.o.d"
  "/work/wt11/src/jnx/Guid.cpp" "src/CMakeFiles/core.dir/jnx/Guid.cpp.o" "gcc" "src/CMakeFiles/core.dir/jnx/Guid.cpp.o.d"
  "/work/wt11/src/jnx/JnxMap.cpp" "src/CMakeFiles/core.dir/jnx/JnxMap.cpp.o" "gcc" "src/CMakeFiles/core.dir/jnx/JnxMap.cpp.o.d"
  "/work/wt11/src/jnx/JnxReader.cpp" "src/CMakeFiles/core.dir/jnx/JnxReader.cpp.o" "gcc" "src/CMakeFiles/core.dir/jnx/JnxReader.cpp.o.d"
  "/work/wt11/src/jnx/JnxUpdate.cpp" "src/CMakeFiles/core.dir/jnx/JnxUpdate.cpp.o" "gcc" "src/CMakeFiles/core.dir/jnx/JnxUpdate.cpp.o.d"
  "/work/wt11/src/jnx/JnxWriter.cpp" "src/CMakeFiles/core.dir/jnx/JnxWriter.cpp.o" "gcc" "src/CMakeFiles/core.dir/jnx/JnxWriter.cpp.o.d"
  "/work/wt11/src/jnx/MapEdits.cpp" "src/CMakeFiles/core.dir/jnx/MapEdits.cpp.o" "gcc" "src/CMakeFiles/core.dir/jnx/MapEdits.cpp.o.d"
  "/work/wt11/src/jnx/ScaleTable.cpp" "src/CMakeFiles/core.dir/jnx/ScaleTable.cpp.o" "gcc" "src/CMakeFiles/core.dir/jnx/ScaleTable.cpp.o.d"
  "/work/wt11/src/jnx/TileExtraction.cpp" "src/CMakeFiles/core.dir/jnx/TileExtraction.cpp.o" "gcc" "src/CMakeFiles/core.dir/jnx/TileExtraction.cpp.o.d"
  "/work/wt11/src/jnx/TileSource.cpp" "src/CMakeFiles/core.dir/jnx/TileSource.cpp.o" "gcc" "src/CMakeFiles/core.dir/jnx/TileSource.cpp.o.d"
  "/work/wt11/b/src/resource_DummyJpg.cpp" "src/CMakeFiles/core.dir/resource_DummyJpg.cpp.o" "gcc" "src/CMakeFiles/core.dir/resource_DummyJpg.cpp.o.d"
  "/work/wt11/b/src/resource_Wirus.cpp" "src/CMakeFiles/core.dir/resource_Wirus.cpp.o" "gcc" "src/CMakeFiles/core.dir/resource_Wirus.cpp.o.d"
  "/work/wt11/src/uMapCreation/Calibration.cpp" "src/CMakeFiles/core.dir/uMapCreation/Calibration.cpp.o" "gcc" "src/CMakeFiles/core.dir/uMapCreation/Calibration.cpp.o.d"
  "/work/wt11/src/uMapCreation/CreatedMapWriter.cpp" "src/CMakeFiles/core.dir/uMapCreation/CreatedMapWriter.cpp.o" "gcc" "src/CMakeFiles/core.dir/uMapCreation/CreatedMapWriter.cpp.o.d"
  "/work/wt11/src/uMapCreation/ImageCutter.cpp" "src/CMakeFiles/core.dir/uMapCreation/ImageCutter.cpp.o" "gcc" "src/CMakeFiles/core.dir/uMapCreation/ImageCutter.cpp.o.d"
  "/work/wt11/src/uMapCreation/MapBuilder.cpp" "src/CMakeFiles/core.dir/uMapCreation/MapBuilder.cpp.o" "gcc" "src/CMakeFiles/core.dir/uMapCreation/MapBuilder.cpp.o.d"
  "/work/wt11/src/uMapCreation/MapSource.cpp" "src/CMakeFiles/core.dir/uMapCreation/MapSource.cpp.o" "gcc" "src/CMakeFiles/core.dir/uMapCreation/MapSource.cpp.o.d"
  "/work/wt11/src/view/MapTexts.cpp" "src/CMakeFiles/core.dir/view/MapTexts.cpp.o" "gcc" "src/CMakeFiles/core.dir/view/MapTexts.cpp.o.d"
  "/work/wt11/src/view/ViewGeometry.cpp" "src/CMakeFiles/core.dir/view/ViewGeometry.cpp.o" "gcc" "src/CMakeFiles/core.dir/view/ViewGeometry.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
