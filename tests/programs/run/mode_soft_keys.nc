(Jen klavesy rezimu)
