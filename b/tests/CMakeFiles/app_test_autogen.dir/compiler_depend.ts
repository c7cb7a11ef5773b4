# CMAKE generated file: DO NOT EDIT!
# Timestamp file for custom commands dependencies management for app_test_autogen.
