file(REMOVE_RECURSE
  "librenderer.a"
)
