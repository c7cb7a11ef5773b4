# CMAKE generated file: DO NOT EDIT!
# Timestamp file for compiler generated dependencies management for tj_decode_loop.
