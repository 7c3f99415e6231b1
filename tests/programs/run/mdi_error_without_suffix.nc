(Jen povel MDI)
