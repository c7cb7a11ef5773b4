file(REMOVE_RECURSE
  "libgui.a"
)
